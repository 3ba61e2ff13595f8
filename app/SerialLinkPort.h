// The main window's serial port as the link sees it.
#pragma once

#include "link/LinkPort.h"
#include "serial/SerialPort.h"

class SerialLinkPort final : public LinkPort {
public:
    explicit SerialLinkPort(SerialPort& port)
        : port_(port)
    { }
    void Open() override { port_.Open(); }
    void Close() override { port_.Close(); }
    bool IsOpen() const override { return port_.IsOpen(); }
    int PortNum() const override { return port_.PortNum(); }
    int WriteBuf(const std::uint8_t* buffer, int count) override { return port_.WriteBuf(buffer, count); }
    int ReadBuf(std::uint8_t* buffer, int count) override { return port_.ReadBuf(buffer, count); }

private:
    SerialPort& port_;
};
