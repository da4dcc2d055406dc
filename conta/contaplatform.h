#pragma once

class Tdm;
class UserNotices;

// Registering ("POST") and updating ("PUT" + BCOCONTAID) the current account
// of qrBoletoConta on the platform, storing the dates it answers (and, on
// register, the account's identifier). A failing check shows its notice and
// raises SilentAbort.
//
// The request names the account's own beneficiary, the one of the account's
// BCECNPJ (see runPlatformOperationFor).
void registerConta(Tdm& dm, UserNotices& notices);
void updateConta(Tdm& dm, UserNotices& notices);
