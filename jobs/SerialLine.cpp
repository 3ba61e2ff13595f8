#include "jobs/SerialLine.h"

#include "serial/SerialPort.h"

#include <chrono>
#include <thread>

SerialLine::SerialLine(SerialPort& port)
    : port_(port)
{ }

void SerialLine::open()
{
    port_.open();
}

void SerialLine::close()
{
    port_.close();
}

bool SerialLine::isOpen() const
{
    return port_.isOpen();
}

int SerialLine::portNumber() const
{
    return port_.portNumber();
}

void SerialLine::setPortNumber(int number)
{
    port_.setPortNumber(number);
}

std::string SerialLine::devicePath() const
{
    return port_.devicePath().toStdString();
}

int SerialLine::write(const std::uint8_t* buffer, int count)
{
    return port_.write(buffer, count);
}

int SerialLine::read(std::uint8_t* buffer, int count)
{
    return port_.read(buffer, count);
}

void SerialLine::waitForBytes(std::int64_t untilUs)
{
    const std::int64_t leftUs = untilUs - nowUs();
    if (leftUs <= 0)
        return;
    if (!port_.isOpen()) {
        std::this_thread::sleep_for(std::chrono::microseconds(leftUs));
        return;
    }
    port_.waitForBytes(static_cast<int>((leftUs + 999) / 1000));
}
