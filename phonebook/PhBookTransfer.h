// Reading and writing one phonebook record of the handset over the link.
// The main window's PhBookRead and PhBookWrite forward here.
#pragma once

#include <string>

class MessageTransfer;

// Tries, pause and the longest answering frame of each exchange.
inline constexpr int ReadTries = 5;
inline constexpr int ReadPauseMs = 10;
inline constexpr int ReadLongestReply = 53;   // 4 header + 47 data + sequence + checksum
inline constexpr int WriteTries = 9;
inline constexpr int WritePauseMs = 100;
inline constexpr int WriteLongestReply = 16;  // the handset answers a write with a short frame

// On success Name and Number receive the record (Windows-1251) and Ok is true;
// on failure Ok is false and Name and Number are left as they were.
void PhBookRead(MessageTransfer& link, int Location, std::string& Name, std::string& Number, bool& Ok);
// Name and Number are trimmed in place, then written. A location outside the
// phonebook (0-99) is never sent: Ok is false and the caller tells the user.
void PhBookWrite(MessageTransfer& link, int Location, std::string& Name, std::string& Number, bool& Ok);
