#pragma once

#include <QString>

class Tdm;
class UserNotices;
struct PlatformOperation;

// Runs `operation` naming the beneficiary of CNPJ `cnpj` in the request.
//
// The platform files an account or agreement under the beneficiary named
// in the header "cnpj-cedente", which the data module reads from the
// current row of qrBoletoCedente. So for the length of the request that row
// is the record's own beneficiary: qrBoletoCedente is moved to the first
// beneficiary whose BCECNPJ is `cnpj`, and stays there. When no beneficiary
// has it, the current row carries `cnpj` only while the request is sent
// (the change is cancelled before anything is shown); a closed
// qrBoletoCedente is opened for the request and closed again.
bool runPlatformOperationFor(Tdm& dm, UserNotices& notices, const PlatformOperation& operation,
                             const QString& cnpj);
