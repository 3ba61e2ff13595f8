// What the link needs of a serial port. The main window adapts its SerialPort to
// this; tests put a scripted line or the handset model behind it.
#pragma once

#include <cstdint>

class LinkPort {
public:
    virtual ~LinkPort() = default;
    // Raises (any std::exception) when the port is open already or cannot be opened.
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual int portNumber() const = 0;
    // Number of bytes written once the write completed; 0 on time-out.
    virtual int write(const std::uint8_t* buffer, int count) = 0;
    // Up to count bytes that have already arrived; never waits for more.
    virtual int read(std::uint8_t* buffer, int count) = 0;
};
