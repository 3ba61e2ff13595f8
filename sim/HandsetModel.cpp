#include "sim/HandsetModel.h"

#include "sim/HandsetFrame.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>

namespace handset {
namespace {

constexpr std::uint8_t kPhonebookArea = 0x1F;
constexpr std::uint8_t kLogoArea = 0x3A;
constexpr std::size_t kItemByte = 9;
constexpr std::size_t kPayloadStart = 14;

// Message types in byte 3 of the handset's frames; the PC ignores them.
constexpr std::uint8_t kTypeVersion = 0xD2;
constexpr std::uint8_t kTypeData = 0x10;

// Grows `data` by `size` bytes; a resize then copy, which GCC's bounds
// checker follows where it misreads vector::insert.
void append(std::vector<std::uint8_t>& data, const std::uint8_t* bytes, std::size_t size)
{
    const std::size_t at = data.size();
    data.resize(at + size);
    std::copy_n(bytes, size, data.begin() + static_cast<std::ptrdiff_t>(at));
}

void append(std::vector<std::uint8_t>& data, const std::string& text)
{
    append(data, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

bool startsWith(const std::vector<std::uint8_t>& message, std::initializer_list<std::uint8_t> prefix)
{
    return message.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), message.begin());
}

bool isMemoryRequest(const std::vector<std::uint8_t>& m, std::uint8_t op, std::uint8_t area)
{
    return m.size() >= 12 && m[0] == op && m[2] == 0x03 && m[3] == 0x00 && m[4] == 0x07 && m[5] == area && m[6] == 0x7F
        && m[7] == 0xF0;
}

// Reply to a memory read: the request's addressing, then the payload from data byte 14.
// Sized once up front: GCC 12's bounds checker misreads a grown vector at -O3.
std::vector<std::uint8_t> memoryReply(const std::vector<std::uint8_t>& request, const std::uint8_t* payload,
                                      std::size_t size)
{
    std::vector<std::uint8_t> data(kPayloadStart + size);
    std::copy_n(request.begin(), 12, data.begin());
    data[0] = 0x10;
    data[12] = 0x00;
    data[13] = static_cast<std::uint8_t>(size);
    std::copy_n(payload, size, data.begin() + static_cast<std::ptrdiff_t>(kPayloadStart));
    return data;
}

std::vector<std::uint8_t> shortReply(const std::vector<std::uint8_t>& request)
{
    return {static_cast<std::uint8_t>(request.empty() ? 0 : request[0] ^ 0x1F), 0x00, 0x00};
}

} // namespace

RequestKind classifyRequest(const std::vector<std::uint8_t>& m)
{
    if (m.size() == 3 && startsWith(m, {0x00, 0x03}))
        return RequestKind::Version;
    if (m.size() == 3 && startsWith(m, {0x43}))
        return RequestKind::SoftwareReset;
    if (m.size() >= 8 && startsWith(m, {0x0F, 0x19, 0x03, 0x00, 0x01, 0x0B}))
        return RequestKind::SerialNumber;
    if (m.size() >= 8 && startsWith(m, {0x0F, 0x19, 0x03, 0x00, 0x06, 0x03}))
        return RequestKind::NetMonitorRead;
    if (m.size() >= 11 && startsWith(m, {0x10, 0x08, 0x03, 0x00, 0x06, 0x03}))
        return RequestKind::NetMonitorSwitch;
    if (isMemoryRequest(m, 0x0F, kPhonebookArea))
        return RequestKind::PhonebookRead;
    if (isMemoryRequest(m, 0x0F, kLogoArea))
        return RequestKind::LogoRead;
    if (isMemoryRequest(m, 0x10, kPhonebookArea) && m.size() >= kPayloadStart + kRecordSize)
        return RequestKind::PhonebookWrite;
    if (isMemoryRequest(m, 0x10, kLogoArea) && m.size() >= kPayloadStart + kLogoBlockSize)
        return RequestKind::LogoWrite;
    return RequestKind::Unknown;
}

HandsetModel::HandsetModel(HandsetState state)
    : state_(std::move(state))
{
    // Frames of the handset's own kind longer than an acknowledgement are
    // taken for none, so a stray E9 before the PC's 00 E9 never hides a request.
    assembler_.limitHandsetFrames(frame::kAckLength);
}

std::vector<OutFrame> HandsetModel::fromPc(const std::uint8_t* data, std::size_t size, bool garbled)
{
    for (std::size_t i = 0; garbled && i < size; ++i)
        garbled_.push_back(bytesTaken_ + i);
    bytesTaken_ += size;
    out_.clear();
    assembler_.push(data, size, *this);
    return std::exchange(out_, {});
}

// The assembler tells frames and noise in stream order: a garbled byte
// before them is in no frame still to come.
void HandsetModel::forgetGarbledBefore(std::uint64_t position)
{
    while (!garbled_.empty() && garbled_.front() < position)
        garbled_.pop_front();
}

void HandsetModel::noise(std::uint64_t at, std::size_t count)
{
    forgetGarbledBefore(at + count);
}

// A frame of the PC's whose checksum fails, or that is longer than the
// handset can hold, is thrown away.
void HandsetModel::notAFrame(NotAFrame why, std::uint8_t address, std::uint64_t, int, int)
{
    if (address == frame::kPcAddress && why != NotAFrame::Cut)
        ++badFrames_;
}

// Only the PC's frames are requests; the handset's own kind heard on the
// line is none of its business. A byte garbled on the wire spoils its frame
// even where the checksum still holds.
void HandsetModel::frame(const std::uint8_t* bytes, int length, std::uint64_t at)
{
    const std::uint64_t end = at + static_cast<std::uint64_t>(length);
    forgetGarbledBefore(at);
    const bool garbled = !garbled_.empty() && garbled_.front() < end;
    forgetGarbledBefore(end);
    if (bytes[0] != frame::kPcAddress)
        return;
    if (garbled) {
        ++badFrames_;
        return;
    }
    takeFrame(bytes, static_cast<std::size_t>(length));
}

void HandsetModel::takeFrame(const std::uint8_t* bytes, std::size_t length)
{
    if (bytes[2] == kAckLength) {
        ++pcAcks_;
        lastPcAckSequence_ = bytes[3];
        return;
    }
    const std::uint8_t sequence = bytes[length - 2];
    out_.push_back({OutKind::Ack, handsetAck(sequence)});

    std::vector<std::uint8_t> request(bytes + 4, bytes + length - 1); // message and sequence byte
    const bool repeated = lastRequest_ && *lastRequest_ == request;
    lastRequest_ = request;
    if (repeated && !answerDuplicates_)
        return;

    request.pop_back();
    const auto reply = execute(request);
    if (!reply)
        return;
    const std::uint8_t type = classifyRequest(request) == RequestKind::Version ? kTypeVersion : kTypeData;
    out_.push_back({OutKind::Reply, handsetDataFrame(type, *reply, replySequence_++)});
}

const Record* HandsetModel::recordAt(std::uint8_t location) const
{
    if (location < kPhonebookSize)
        return &state_.phonebook[location];
    const auto found = state_.otherLocations.find(location);
    return found == state_.otherLocations.end() ? nullptr : &found->second;
}

std::optional<std::vector<std::uint8_t>> HandsetModel::execute(const std::vector<std::uint8_t>& m)
{
    switch (classifyRequest(m)) {
    case RequestKind::Version: {
        // The PC reads the text from frame offset 6, i.e. data byte 2.
        std::vector<std::uint8_t> data{0x01, 0x00};
        append(data, state_.versionText);
        data.push_back(0x00);
        if (data.size() > kMaxMessageLength)
            data.resize(kMaxMessageLength);
        return data;
    }
    case RequestKind::SerialNumber: {
        // Length at frame offset 13 (data byte 9), digits from offset 14.
        std::vector<std::uint8_t> data(m.begin(), m.begin() + 8);
        data[0] = 0x10;
        data.push_back(0x00);
        const std::string serial = state_.serialNumber.substr(0, kMaxMessageLength - data.size() - 1);
        data.push_back(static_cast<std::uint8_t>(serial.size()));
        append(data, serial);
        return data;
    }
    case RequestKind::NetMonitorRead: {
        std::vector<std::uint8_t> data(m.begin(), m.begin() + 8);
        data[0] = 0x10;
        data.push_back(0x00);
        data.push_back(0x01);
        data.push_back(state_.netMonitor ? 0x03 : 0x00);
        return data;
    }
    case RequestKind::NetMonitorSwitch: {
        const bool on = m[10] != 0;
        if (on != state_.netMonitor) {
            state_.netMonitor = on;
            noteChange();
        }
        return shortReply(m);
    }
    case RequestKind::SoftwareReset:
        ++resets_;
        return shortReply(m);
    case RequestKind::PhonebookRead: {
        const Record* record = recordAt(m[kItemByte]);
        const Record empty{};
        return memoryReply(m, (record ? *record : empty).data(), kRecordSize);
    }
    case RequestKind::PhonebookWrite: {
        // Past the phonebook the handset keeps its own data: a write there is
        // answered and forgotten.
        const std::uint8_t location = m[kItemByte];
        if (location < kPhonebookSize) {
            Record& record = state_.phonebook[location];
            if (!std::equal(record.begin(), record.end(), m.begin() + kPayloadStart)) {
                std::copy_n(m.begin() + kPayloadStart, kRecordSize, record.begin());
                noteChange();
            }
        }
        return shortReply(m);
    }
    case RequestKind::LogoRead: {
        const std::uint8_t block = m[kItemByte];
        const LogoBlock blank{};
        return memoryReply(m, (block < kLogoBlocks ? state_.logo[block] : blank).data(), kLogoBlockSize);
    }
    case RequestKind::LogoWrite: {
        // Bands past the sixth do not exist; the write is answered and forgotten.
        const std::uint8_t block = m[kItemByte];
        if (block < kLogoBlocks
            && !std::equal(state_.logo[block].begin(), state_.logo[block].end(), m.begin() + kPayloadStart)) {
            std::copy_n(m.begin() + kPayloadStart, kLogoBlockSize, state_.logo[block].begin());
            noteChange();
        }
        return shortReply(m);
    }
    case RequestKind::Unknown:
        break;
    }
    return std::nullopt;
}

} // namespace handset
