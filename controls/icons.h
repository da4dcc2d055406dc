#pragma once

#include <QIcon>

// The pictures on the program's buttons, drawn by the program itself so
// they look the same on every system.
namespace Icons {
QIcon enter();  // a green arrow into a door
QIcon cancel(); // a red cross
QIcon boleto(); // a payment slip with a bar code
} // namespace Icons
