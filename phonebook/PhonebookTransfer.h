// Reading and writing one phonebook record of the handset over the link.
// The main window's record transfers forward here.
#pragma once

#include "link/LinkFailure.h"
#include "link/Messages.h"
#include "phonebook/PhonebookFile.h"

#include <string>

class MessageTransfer;

// Tries, pause and the longest answering frame of each exchange.
inline constexpr int kReadTries = 5;
inline constexpr int kReadPauseMs = 10;
inline constexpr int kReadLongestReply = messages::kPhonebookRead.longestReplyFrame;
inline constexpr int kWriteTries = 9;
inline constexpr int kWritePauseMs = 100;
inline constexpr int kWriteLongestReply = messages::kPhonebookWrite.longestReplyFrame;

// The record at location (Windows-1251 texts), or why the handset did not give it.
LinkResult<PhonebookEntry> readRecord(MessageTransfer& link, int location);
// The texts are trimmed, then written. A location outside the phonebook
// (0-99) holds the handset's own data and is never written: it raises
// std::out_of_range without sending anything.
LinkResult<Answered> writeRecord(MessageTransfer& link, int location, PhonebookEntry entry);
