#include "phonebook/HandsetNumbers.h"

#include "link/MessageTransfer.h"
#include "phonebook/PhoneRecord.h"
#include "phonebook/PhonebookTransfer.h"

LinkResult<StoredNumber> readStoredNumber(MessageTransfer& link, int location)
{
    const ReadRequest request = buildReadRequest(location);
    const LinkResult<ReplyFrame> reply =
        link.transfer(request.data(), kReadRequestLength, kNumberReadTries, kReadPauseMs, kReadLongestReply);
    if (!reply) {
        if (reply.failure().kind == LinkFailure::Kind::PortUnavailable)
            return reply.failure();
        return StoredNumber{};
    }
    std::string number = decodeReplyNumber(*reply);
    trimRecordText(number);
    if (number.empty())
        return StoredNumber{};
    return StoredNumber{std::move(number)};
}

LinkResult<DialledNumbers> readDialledNumbers(MessageTransfer& link, const std::function<bool()>& stopRequested)
{
    DialledNumbers numbers;
    for (int i = 0; i < kDialledNumbers; ++i) {
        if (stopRequested && stopRequested())
            break;
        const LinkResult<StoredNumber> dialled = readStoredNumber(link, kFirstDialledLocation + i);
        if (!dialled && i == 0)
            return dialled.failure();
        if (!dialled)
            break;
        numbers[static_cast<std::size_t>(i)] = *dialled;
    }
    return numbers;
}

LinkResult<HandsetNumbers> readHandsetNumbers(MessageTransfer& link, const std::function<bool()>& stopRequested)
{
    const LinkResult<StoredNumber> own = readStoredNumber(link, kOwnNumberLocation);
    if (!own)
        return own.failure();
    HandsetNumbers numbers{*own, {}};
    if (const LinkResult<DialledNumbers> dialled = readDialledNumbers(link, stopRequested))
        numbers.dialled = *dialled;
    return numbers;
}
