#pragma once

#include <QString>

class Tdm;
class UserNotices;

// Registering ("POST") and updating ("PUT" + BCVCONVENIONUMERO) the current
// agreement of qrBoletoConvenio on the platform. Registering refuses an
// agreement that has a creation date and stores the platform's
// "numero_remessa" as the agreement's number; both store the dates the
// platform answers. A failing check shows its notice and raises
// SilentAbort.
//
// The request names the beneficiary of the agreement's account (see
// agreementBeneficiaryCnpj).
void registerConvenio(Tdm& dm, UserNotices& notices);
void updateConvenio(Tdm& dm, UserNotices& notices);

// The BCECNPJ of the account the current agreement belongs to: the current
// account when its BCOCONTAID is the agreement's, otherwise the first
// account by code that has it; empty when no account has it.
QString agreementBeneficiaryCnpj(Tdm& dm);
