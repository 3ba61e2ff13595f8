#include "phonebook/PhBookTransfer.h"

#include "phonebook/PhoneRecord.h"
#include "link/MessageTransfer.h"

void PhBookRead(MessageTransfer& link, int Location, std::string& Name, std::string& Number, bool& Ok)
{
    const ReadRequest request = BuildReadRequest(Location);
    Ok = link.Transfer(request.data(), ReadRequestLength, ReadTries, ReadPauseMs, ReadLongestReply);
    if (!Ok)
        return;
    const ReplyFrame& reply = link.ReplyBuffer();
    Number = DecodeReplyNumber(reply);
    Name = DecodeReplyName(reply);
}

void PhBookWrite(MessageTransfer& link, int Location, std::string& Name, std::string& Number, bool& Ok)
{
    Ok = false;
    if (!IsPhonebookLocation(Location))
        return;
    TrimRecordText(Name);
    TrimRecordText(Number);
    const WriteRequest request = BuildWriteRequest(Location, Name, Number);
    Ok = link.Transfer(request.data(), WriteRequestLength, WriteTries, WritePauseMs, WriteLongestReply);
}
