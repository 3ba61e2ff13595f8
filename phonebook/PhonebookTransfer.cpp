#include "phonebook/PhonebookTransfer.h"

#include "phonebook/PhoneRecord.h"
#include "link/MessageTransfer.h"

#include <stdexcept>
#include <string>

LinkResult<PhonebookEntry> readRecord(MessageTransfer& link, int location)
{
    const ReadRequest request = buildReadRequest(location);
    const LinkResult<ReplyFrame> reply =
        link.transfer(request.data(), kReadRequestLength, kReadTries, kReadPauseMs, kReadLongestReply);
    if (!reply)
        return reply.failure();
    return PhonebookEntry{decodeReplyName(*reply), decodeReplyNumber(*reply)};
}

LinkResult<Answered> writeRecord(MessageTransfer& link, int location, PhonebookEntry entry)
{
    if (!isPhonebookLocation(location))
        throw std::out_of_range("phonebook location " + std::to_string(location) + " is not written");
    trimRecordText(entry.name);
    trimRecordText(entry.number);
    const WriteRequest request = buildWriteRequest(location, entry.name, entry.number);
    const LinkResult<ReplyFrame> reply =
        link.transfer(request.data(), kWriteRequestLength, kWriteTries, kWritePauseMs, kWriteLongestReply);
    if (!reply)
        return reply.failure();
    return Answered{};
}
