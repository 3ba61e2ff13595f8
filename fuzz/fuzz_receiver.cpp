// Arbitrary bytes in arbitrary notification sizes through the frame receiver.
// The same stream handed over in one piece must leave the link in the same
// state, and no counter may ever leave the buffers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "link/PhoneLink.h"

namespace {

class StreamPort : public LinkPort, public LinkHost {
public:
    // The bytes that have arrived and not been read: a stretch of the input.
    const std::uint8_t* arrived = nullptr;
    std::size_t arrivedCount = 0;
    std::vector<std::uint8_t> written;
    bool ackWritesTimeOut = false;

    void open() override { }
    void close() override { }
    bool isOpen() const override { return true; }
    int portNumber() const override { return 1; }
    int write(const std::uint8_t* buffer, int count) override
    {
        if (ackWritesTimeOut)
            return 0;
        written.insert(written.end(), buffer, buffer + count);
        return count;
    }
    int read(std::uint8_t* buffer, int count) override
    {
        const std::size_t n = std::min(static_cast<std::size_t>(count), arrivedCount);
        std::memcpy(buffer, arrived, n);
        arrived += n;
        arrivedCount -= n;
        return static_cast<int>(n);
    }
    void processMessages() override { }
    void sleep(int) override { }
    // The stream carries no time: a fixed clock keeps both deliveries alike
    // and spares a system call per byte.
    std::int64_t nowUs() override { return 0; }
    void setAckLed(bool) override { }
    void setPackLed(bool) override { }
    void enableConnectButton() override { }
    void showMessage(const std::string&) override { }
};

void CheckCounters(const LinkState& s)
{
    const bool hunting = s.rxLength == 0 && s.rxExpected == 5;
    const bool header = (s.rxLength == 1 || s.rxLength == 2) && s.rxExpected == 5;
    const bool body = s.rxLength >= 3 && s.rxLength < s.rxExpected && s.rxExpected <= 256;
    if (!hunting && !header && !body)
        __builtin_trap();
}

bool SameOutcome(const LinkState& a, const LinkState& b)
{
    return a.replyBuffer == b.replyBuffer && a.replyReady == b.replyReady && a.ackReady == b.ackReady
        && a.echoSeen == b.echoSeen && a.txSequence == b.txSequence && a.rxLength == b.rxLength
        && a.rxExpected == b.rxExpected;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t chunking = data[0];
    const std::uint8_t* stream = data + 1;
    const std::size_t length = size - 1;

    StreamPort chunkedPort;
    chunkedPort.ackWritesTimeOut = (chunking & 0x80) != 0;
    PhoneLink chunked(chunkedPort, chunkedPort);
    StreamPort wholePort;
    wholePort.ackWritesTimeOut = chunkedPort.ackWritesTimeOut;
    PhoneLink whole(wholePort, wholePort);

    chunkedPort.arrived = stream;
    // Chunk sizes follow from the stream itself, so the fuzzer steers them too.
    std::size_t at = 0;
    std::uint32_t step = chunking | 1u;
    while (at < length) {
        step = step * 1103515245u + 12345u;
        std::size_t n = 1 + (step >> 16) % ((chunking & 0x40) ? 600u : 20u);
        if (n > length - at)
            n = length - at;
        chunkedPort.arrivedCount += n;
        // Now and then the notification announces more than is queued, as a late count can.
        const int announced = static_cast<int>(n) + ((step & 0x100) ? static_cast<int>(step % 300) : 0);
        chunked.onBytesReceived(announced);
        CheckCounters(chunked.state());
        at += n;
    }

    wholePort.arrived = stream;
    wholePort.arrivedCount = length;
    whole.onBytesReceived(static_cast<int>(length));
    CheckCounters(whole.state());

    if (!SameOutcome(chunked.state(), whole.state()) || chunkedPort.written != wholePort.written)
        __builtin_trap();
    return 0;
}
