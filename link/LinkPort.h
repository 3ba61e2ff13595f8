// What the link needs of a serial port. The link thread adapts its
// SerialPort to this; tests put a scripted line or the handset model behind it.
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
    // The port's number, COMn; 0 for a device chosen by its path.
    virtual int portNumber() const = 0;
    // The device behind the port, when it has one to name.
    virtual std::string devicePath() const { return {}; }
    // Number of bytes written once the write completed; 0 on time-out.
    virtual int write(const std::uint8_t* buffer, int count) = 0;
    // Up to count bytes that have already arrived; never waits.
    virtual int read(std::uint8_t* buffer, int count) = 0;
};
