#pragma once

#include <QIcon>

// The pictures on the program's buttons, drawn by the program itself so
// they look the same on every system.
namespace Icons {
QIcon enter();   // a green arrow into a door
QIcon cancel();  // a red cross
QIcon boleto();  // a payment slip with a bar code
QIcon exit();    // an arrow leaving a door
QIcon edit();    // a pencil over a sheet
QIcon send();    // a cloud with an arrow up
QIcon refresh(); // two arrows in a circle
QIcon copy();    // two sheets
QIcon save();    // a green tick
QIcon add();     // a green plus
QIcon toggle();  // a switch
} // namespace Icons
