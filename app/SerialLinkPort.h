// The main window's serial port as the link sees it.
#pragma once

#include <QCoreApplication>

#include "link/LinkPort.h"
#include "serial/PortChoice.h"
#include "serial/SerialPort.h"
#include "text/WinText.h"

// The serial port's number while a device from the port box (not one of
// Com1..Com4) is chosen; the device resolver then gives the device's path.
inline constexpr int kChosenDevicePort = 0;

class SerialLinkPort final : public LinkPort {
public:
    explicit SerialLinkPort(SerialPort& port)
        : port_(port)
    { }
    void open() override { port_.open(); }
    void close() override { port_.close(); }
    bool isOpen() const override { return port_.isOpen(); }
    int portNumber() const override { return port_.portNumber(); }
    std::string openFailureText() const override
    {
        if (port_.portNumber() != kChosenDevicePort)
            return LinkPort::openFailureText();
        const QString device = port_.devicePath();
        QString text = describeOpenFailure(device);
        // It opens now: it was busy a moment ago, or went away and came back.
        if (text.isEmpty())
            text = QCoreApplication::translate("SerialLinkPort", "Cannot open the serial port %1").arg(device);
        return toWin1251(text);
    }
    int write(const std::uint8_t* buffer, int count) override { return port_.write(buffer, count); }
    int read(std::uint8_t* buffer, int count) override { return port_.read(buffer, count); }

private:
    SerialPort& port_;
};
