// Arbitrary bytes in arbitrary notification sizes through the frame receiver.
// The same stream handed over in one piece must leave the link in the same
// state, and no counter may ever leave the buffers.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "link/PhoneLink.h"

namespace {

class StreamPort : public LinkPort, public LinkHost {
public:
    std::vector<std::uint8_t> queued;
    std::vector<std::uint8_t> written;
    bool ackWritesTimeOut = false;

    void Open() override { }
    void Close() override { }
    bool IsOpen() const override { return true; }
    int PortNum() const override { return 1; }
    int WriteBuf(const std::uint8_t* buffer, int count) override
    {
        if (ackWritesTimeOut)
            return 0;
        written.insert(written.end(), buffer, buffer + count);
        return count;
    }
    int ReadBuf(std::uint8_t* buffer, int count) override
    {
        const int n = count < static_cast<int>(queued.size()) ? count : static_cast<int>(queued.size());
        std::memcpy(buffer, queued.data(), static_cast<std::size_t>(n));
        queued.erase(queued.begin(), queued.begin() + n);
        return n;
    }
    void ProcessMessages() override { }
    void Sleep(int) override { }
    void SetAckLed(bool) override { }
    void SetPackLed(bool) override { }
    void EnableInfoButton() override { }
    void ShowMessage(const std::string&) override { }
};

void CheckCounters(const LinkState& s)
{
    const bool hunting = s.RxLength == 0 && s.RxExpected == 5;
    const bool header = (s.RxLength == 1 || s.RxLength == 2) && s.RxExpected == 5;
    const bool body = s.RxLength >= 3 && s.RxLength < s.RxExpected && s.RxExpected <= 256;
    if (!hunting && !header && !body)
        __builtin_trap();
}

bool SameOutcome(const LinkState& a, const LinkState& b)
{
    return a.ReplyBuffer == b.ReplyBuffer && a.ReplyReady == b.ReplyReady && a.AckReady == b.AckReady
        && a.EchoSeen == b.EchoSeen && a.TxSequence == b.TxSequence && a.RxLength == b.RxLength
        && a.RxExpected == b.RxExpected;
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

    // Chunk sizes follow from the stream itself, so the fuzzer steers them too.
    std::size_t at = 0;
    std::uint32_t step = chunking | 1u;
    while (at < length) {
        step = step * 1103515245u + 12345u;
        std::size_t n = 1 + (step >> 16) % ((chunking & 0x40) ? 600u : 20u);
        if (n > length - at)
            n = length - at;
        chunkedPort.queued.insert(chunkedPort.queued.end(), stream + at, stream + at + n);
        // Now and then the notification announces more than is queued, as a late count can.
        const int announced = static_cast<int>(n) + ((step & 0x100) ? static_cast<int>(step % 300) : 0);
        chunked.VaComm1RxChar(announced);
        CheckCounters(chunked.State());
        at += n;
    }

    wholePort.queued.assign(stream, stream + length);
    whole.VaComm1RxChar(static_cast<int>(length));
    CheckCounters(whole.State());

    if (!SameOutcome(chunked.State(), whole.State()) || chunkedPort.written != wholePort.written)
        __builtin_trap();
    return 0;
}
