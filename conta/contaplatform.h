#pragma once

class Tdm;
class UserNotices;

// Registering ("POST") and updating ("PUT" + BCOCONTAID) the current account
// of qrBoletoConta on the platform, storing the dates it answers (and, on
// register, the account's identifier). A failing check shows its notice and
// raises SilentAbort.
//
// The platform files an account under the beneficiary named in the header
// "cnpj-cedente", which the data module reads from the current row of
// qrBoletoCedente. So for the length of the request that row is the
// account's own beneficiary: qrBoletoCedente is moved to the first
// beneficiary whose BCECNPJ equals the account's BCECNPJ, and stays there.
// When no beneficiary has it, the current row carries the account's BCECNPJ
// only while the request is sent (the change is cancelled before anything
// is shown); a closed qrBoletoCedente is opened for the request and closed
// again.
void registerConta(Tdm& dm, UserNotices& notices);
void updateConta(Tdm& dm, UserNotices& notices);
