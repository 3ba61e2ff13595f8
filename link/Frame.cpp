#include "link/Frame.h"

#include <algorithm>

namespace frame {

std::uint8_t checksum(const std::uint8_t* frame)
{
    const int count = frame[2] == kAckMarker ? 4 : frame[2] + 5;
    std::uint8_t sum = 0;
    for (int i = 0; i < count; ++i)
        sum ^= frame[i];
    return sum;
}

int buildDataFrame(const std::uint8_t* message, int n, std::uint8_t sequence, std::uint8_t* out)
{
    out[0] = kPcAddress;
    out[1] = kHandsetAddress;
    out[2] = static_cast<std::uint8_t>(n);
    out[3] = kPcDataType;
    std::copy_n(message, n, out + 4);
    out[4 + n] = sequence;
    out[5 + n] = checksum(out);
    return n + kOverhead;
}

void buildAck(std::uint8_t to, std::uint8_t sequence, std::uint8_t* out)
{
    out[0] = kPcAddress;
    out[1] = to;
    out[2] = kAckMarker;
    out[3] = sequence;
    out[4] = checksum(out);
}

} // namespace frame
