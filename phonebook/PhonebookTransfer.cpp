#include "phonebook/PhonebookTransfer.h"

#include "phonebook/PhoneRecord.h"
#include "link/MessageTransfer.h"

std::optional<PhonebookEntry> readRecord(MessageTransfer& link, int location)
{
    const ReadRequest request = BuildReadRequest(location);
    if (!link.transfer(request.data(), ReadRequestLength, ReadTries, ReadPauseMs, ReadLongestReply))
        return std::nullopt;
    const ReplyFrame& reply = link.replyBuffer();
    return PhonebookEntry{DecodeReplyName(reply), DecodeReplyNumber(reply)};
}

bool writeRecord(MessageTransfer& link, int location, PhonebookEntry entry)
{
    if (!IsPhonebookLocation(location))
        return false;
    TrimRecordText(entry.Name);
    TrimRecordText(entry.Number);
    const WriteRequest request = BuildWriteRequest(location, entry.Name, entry.Number);
    return link.transfer(request.data(), WriteRequestLength, WriteTries, WritePauseMs, WriteLongestReply);
}
