// A record reply is whatever the line delivered: decoding must take any frame.
#include "phonebook/PhonebookTransfer.h"
#include "phonebook/PhoneRecord.h"
#include "link/MessageTransfer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

class ScriptedReply : public MessageTransfer {
public:
    LinkResult<ReplyFrame> transfer(const std::uint8_t*, int, int, int, int) override { return Reply; }
    ReplyFrame Reply{};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ScriptedReply link;
    std::copy_n(data, std::min<std::size_t>(size, link.Reply.size()), link.Reply.begin());
    const LinkResult<PhonebookEntry> record = readRecord(link, 0);
    if (!record)
        std::abort();
    const std::string& name = record->name;
    const std::string& number = record->number;
    if (number.size() > kMaxNumberDigits || name.size() > kMaxNameChars)
        std::abort();
    // A decoded record written back and read again stays the same, except
    // the characters the handset set cannot hold.
    std::string trimmedName = name, trimmedNumber = number;
    trimRecordText(trimmedName);
    trimRecordText(trimmedNumber);
    const WriteRequest request = buildWriteRequest(0, trimmedName, trimmedNumber);
    ReplyFrame again{};
    std::copy(request.begin() + 14, request.begin() + 47, again.begin() + reply::kPayloadAt);
    if (decodeReplyNumber(again).size() != trimmedNumber.size())
        std::abort();
    return 0;
}
