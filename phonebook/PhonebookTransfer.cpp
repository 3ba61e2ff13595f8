#include "phonebook/PhonebookTransfer.h"

#include "phonebook/PhoneRecord.h"
#include "link/MessageTransfer.h"

std::optional<PhonebookEntry> readRecord(MessageTransfer& link, int location)
{
    const ReadRequest request = buildReadRequest(location);
    if (!link.transfer(request.data(), kReadRequestLength, kReadTries, kReadPauseMs, kReadLongestReply))
        return std::nullopt;
    const ReplyFrame& reply = link.replyBuffer();
    return PhonebookEntry{decodeReplyName(reply), decodeReplyNumber(reply)};
}

bool writeRecord(MessageTransfer& link, int location, PhonebookEntry entry)
{
    if (!isPhonebookLocation(location))
        return false;
    trimRecordText(entry.name);
    trimRecordText(entry.number);
    const WriteRequest request = buildWriteRequest(location, entry.name, entry.number);
    return link.transfer(request.data(), kWriteRequestLength, kWriteTries, kWritePauseMs, kWriteLongestReply);
}
