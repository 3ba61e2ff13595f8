// Reading and writing one phonebook record of the handset over the link.
// The main window's record transfers forward here.
#pragma once

#include "link/Messages.h"
#include "phonebook/PhonebookFile.h"

#include <optional>

#include <string>

class MessageTransfer;

// Tries, pause and the longest answering frame of each exchange.
inline constexpr int kReadTries = 5;
inline constexpr int kReadPauseMs = 10;
inline constexpr int kReadLongestReply = messages::kPhonebookRead.longestReplyFrame;
inline constexpr int kWriteTries = 9;
inline constexpr int kWritePauseMs = 100;
inline constexpr int kWriteLongestReply = messages::kPhonebookWrite.longestReplyFrame;

// The record at location (Windows-1251 texts), or nothing when the handset
// did not answer.
std::optional<PhonebookEntry> readRecord(MessageTransfer& link, int location);
// The texts are trimmed, then written. A location outside the phonebook
// (0-99) is never sent: false, and the caller tells the user.
bool writeRecord(MessageTransfer& link, int location, PhonebookEntry entry);
