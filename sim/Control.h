#pragma once

// The control lines of lx735-sim (its --control file), one instruction a line:
//     <fault>              a fault in the text form of Faults.h
//     clear                drops every scripted fault
//     set key 0|1          ignition key
//     set animate 0|1      drive cycle on or off
//     set NAME VALUE       an engine value (stops the drive cycle); see ControlHelp
//     error CODE STATE     error byte CODE (0..63) := STATE
//     mode run|slave|prg   the ECU's mode
//     reconnect            a line hung up (fault hangup) comes back at once
//     BLOCK OFFSET HEX     bytes into a block (zone2, zone3, saved.zone3, errors, ...)
//     poke BLOCK OFFSET HEX  the same
//     dump PATH            every block, the errors and the samples into PATH
// Blank lines and lines starting with "#" are ignored.

#include "sim/Ecu.h"

#include <QString>

namespace sim {

bool ApplyControlLine(Ecu& ecu, const QString& line, QString* error);

QString ControlHelp();

} // namespace sim
