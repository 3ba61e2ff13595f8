// What the link needs of a serial port. The main window adapts its SerialPort to
// this; tests put a scripted line or the handset model behind it.
#pragma once

#include <cstdint>
#include <string>

class LinkPort {
public:
    virtual ~LinkPort() = default;
    // Raises (any std::exception) when the port is open already or cannot be opened.
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual int portNumber() const = 0;
    // What the user is told when open() failed, in Windows-1251. A port that
    // is not a numbered one names its device instead.
    virtual std::string openFailureText() const { return "Invalid port number Com" + std::to_string(portNumber()); }
    // Number of bytes written once the write completed; 0 on time-out.
    virtual int write(const std::uint8_t* buffer, int count) = 0;
    // Up to count bytes that have already arrived; never waits for more.
    virtual int read(std::uint8_t* buffer, int count) = 0;
};
