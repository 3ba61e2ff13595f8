// Puts a set of line settings on an open QSerialPort.
#pragma once

#include "serial/SerialSettings.h"

class QSerialPort;

// Raises SerialPortError "Error writing dcb (%d), %s" when the port refuses a
// value. A modem line that cannot be driven is accepted on a pseudo-terminal only.
void applyLineSettings(QSerialPort& port, const SerialSettings& settings);

// errno on POSIX, GetLastError on Windows, read right after a failed port call.
int lastSystemError();

// A pseudo-terminal has no modem lines; such a port is what the handset
// simulator and the tests open.
bool isPseudoTerminal(const QSerialPort& port);
