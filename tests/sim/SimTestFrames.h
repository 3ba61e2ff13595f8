// Frames written out by hand for the simulator tests, independent of the
// simulator's own frame code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline std::uint8_t XorOf(const Bytes& bytes, std::size_t count)
{
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum ^= bytes[i];
    return sum;
}

// 00 E9 N E5 message sequence checksum
inline Bytes PcFrame(const Bytes& message, std::uint8_t sequence)
{
    Bytes frame(message.size() + 6);
    frame[0] = 0x00;
    frame[1] = 0xE9;
    frame[2] = static_cast<std::uint8_t>(message.size());
    frame[3] = 0xE5;
    for (std::size_t i = 0; i < message.size(); ++i)
        frame[4 + i] = message[i];
    frame[message.size() + 4] = sequence;
    frame.back() = XorOf(frame, frame.size() - 1);
    return frame;
}

inline Bytes PcAck(std::uint8_t sequence)
{
    Bytes frame{0x00, 0xE9, 0x7F, sequence};
    frame.push_back(XorOf(frame, 4));
    return frame;
}

inline bool ChecksumOk(const Bytes& frame)
{
    return frame.size() >= 5 && XorOf(frame, frame.size() - 1) == frame.back();
}

// Cuts a stream of handset bytes into frames by their length bytes, skipping
// anything before an E9 00 start.
inline std::vector<Bytes> SplitHandsetFrames(const Bytes& stream)
{
    std::vector<Bytes> frames;
    std::size_t i = 0;
    while (i + 2 < stream.size()) {
        if (stream[i] != 0xE9 || stream[i + 1] != 0x00) {
            ++i;
            continue;
        }
        const std::size_t length = stream[i + 2] == 0x7F ? 5 : stream[i + 2] + 6u;
        if (i + length > stream.size())
            break;
        frames.emplace_back(stream.begin() + static_cast<std::ptrdiff_t>(i),
                            stream.begin() + static_cast<std::ptrdiff_t>(i + length));
        i += length;
    }
    return frames;
}

inline const Bytes kVersionQuery{0x00, 0x03, 0x00};
inline const Bytes kSerialRead{0x0F, 0x19, 0x03, 0x00, 0x01, 0x0B, 0x00, 0x00};
inline const Bytes kNetMonitorRead{0x0F, 0x19, 0x03, 0x00, 0x06, 0x03, 0x00, 0x00};
inline const Bytes kNetMonitorOn{0x10, 0x08, 0x03, 0x00, 0x06, 0x03, 0x00, 0x00, 0x00, 0x01, 0x03, 0x00};
inline const Bytes kNetMonitorOff{0x10, 0x08, 0x03, 0x00, 0x06, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00};
inline const Bytes kSoftwareReset{0x43, 0x00, 0x00};

inline Bytes PhonebookRead(std::uint8_t location)
{
    return {0x0F, 0x2D, 0x03, 0x00, 0x07, 0x1F, 0x7F, 0xF0, 0x00, location, 0x00, 0x00};
}

// `record` is the 33-byte payload; byte 47 of the message is 0.
inline Bytes PhonebookWrite(std::uint8_t location, const Bytes& record)
{
    Bytes m{0x10, 0x08, 0x03, 0x00, 0x07, 0x1F, 0x7F, 0xF0, 0x00, location, 0x00, 0x00, 0x00, 0x21};
    m.insert(m.end(), record.begin(), record.end());
    m.push_back(0x00);
    return m;
}

inline Bytes LogoRead(std::uint8_t block)
{
    return {0x0F, 0x60, 0x03, 0x00, 0x07, 0x3A, 0x7F, 0xF0, 0x00, block, 0x00, 0x00};
}

inline Bytes LogoWrite(std::uint8_t block, const Bytes& dots)
{
    Bytes m{0x10, 0x08, 0x03, 0x00, 0x07, 0x3A, 0x7F, 0xF0, 0x00, block, 0x00, 0x00, 0x00, 0x54};
    m.insert(m.end(), dots.begin(), dots.end());
    return m;
}

// A record payload "12" named "Zoe" with group 5, laid out by hand.
inline Bytes SampleRecord()
{
    Bytes r(33, 0x00);
    r[0] = 2;
    r[1] = 0x12;
    r[16] = 'Z';
    r[17] = 'o';
    r[18] = 'e';
    r[32] = 0x05;
    return r;
}
