#include "sim/HandsetFrame.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace handset {

std::uint8_t frameChecksum(const std::uint8_t* frame)
{
    const std::size_t covered = frameLengthFor(frame[2]) - 1;
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < covered; ++i)
        sum ^= frame[i];
    return sum;
}

std::vector<std::uint8_t> handsetAck(std::uint8_t sequence)
{
    std::vector<std::uint8_t> frame{0xE9, 0x00, kAckLength, sequence, 0x00};
    frame[4] = frameChecksum(frame.data());
    return frame;
}

std::vector<std::uint8_t> handsetDataFrame(std::uint8_t type, const std::vector<std::uint8_t>& data,
                                           std::uint8_t sequence)
{
    if (data.size() > kMaxMessageLength || data.size() == kAckLength)
        throw std::invalid_argument("Data frame cannot carry " + std::to_string(data.size()) + " bytes");
    std::vector<std::uint8_t> frame(data.size() + 6);
    frame[0] = 0xE9;
    frame[1] = 0x00;
    frame[2] = static_cast<std::uint8_t>(data.size());
    frame[3] = type;
    std::copy(data.begin(), data.end(), frame.begin() + 4);
    frame[data.size() + 4] = sequence;
    frame.back() = frameChecksum(frame.data());
    return frame;
}

} // namespace handset
