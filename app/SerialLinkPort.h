// The main window's serial port as the link sees it.
#pragma once

#include "link/LinkPort.h"
#include "serial/SerialPort.h"

class SerialLinkPort final : public LinkPort {
public:
    explicit SerialLinkPort(SerialPort& port)
        : port_(port)
    { }
    void open() override { port_.Open(); }
    void close() override { port_.Close(); }
    bool isOpen() const override { return port_.IsOpen(); }
    int portNumber() const override { return port_.portNumber(); }
    int write(const std::uint8_t* buffer, int count) override { return port_.write(buffer, count); }
    int read(std::uint8_t* buffer, int count) override { return port_.read(buffer, count); }

private:
    SerialPort& port_;
};
