// The serial port as the link sees it: the line it writes and reads, and
// the clock it waits on. A wait for bytes blocks on the port itself, as
// befits the link's own thread and the command line, which have nothing
// else to do meanwhile.
#pragma once

#include "jobs/WorkerLine.h"

class SerialPort;

class SerialLine final : public WorkerLine {
public:
    explicit SerialLine(SerialPort& port);

    void open() override;
    void close() override;
    bool isOpen() const override;
    int portNumber() const override;
    void setPortNumber(int number) override;
    std::string devicePath() const override;
    int write(const std::uint8_t* buffer, int count) override;
    int read(std::uint8_t* buffer, int count) override;

    void waitForBytes(std::int64_t untilUs) override;

private:
    SerialPort& port_;
};
