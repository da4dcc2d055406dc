#pragma once

class Tdm;
class UserNotices;

// Registering ("POST") and updating ("PUT" + its identifier) the current
// beneficiary of qrBoletoCedente on the platform, storing what the
// platform answers. A failing check shows its notice and raises SilentAbort.
void registerCedente(Tdm& dm, UserNotices& notices);
void updateCedente(Tdm& dm, UserNotices& notices);
