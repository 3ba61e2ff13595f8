// The line the serial port sets up when it opens. The defaults are the
// handset's bus: 9600 baud, 8 data bits, odd parity, 1 stop bit, no
// handshaking, DTR low and RTS high (which powers most cables).
#pragma once

#include <QSerialPort>

struct SerialSettings {
    qint32 baudRate = 9600;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::Parity parity = QSerialPort::OddParity;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
    bool dataTerminalReady = false;
    bool requestToSend = true;
    // A write gives up when the system has not taken all of it by then.
    int writeTimeoutMs = 2000;
    // How long close waits for what was written to leave.
    int closeDrainLimitMs = 500;
};
