// What a frame log says: the received bytes are taken apart into frames the
// way the link takes them (echo, acknowledgement, data frame, bytes that are
// no frame), each frame is named (which request, which reply, which
// acknowledgement for which sequence byte) and what went wrong is marked:
// requests sent again, replies that never came or were never acknowledged,
// damaged frames. Texts are Windows-1251, as the handset's texts in them.
#pragma once

#include "link/FrameLogReader.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class FrameEventKind {
    Request, // a data frame of ours
    Echo, // a frame of ours coming back on the one-wire cable
    HandsetAck, // the handset took a frame of ours
    Reply, // the handset's data frame
    OurAck, // we took a reply
    BadChecksum, // a handset frame whose checksum does not match
    CutFrame, // the start of a frame whose rest never came
    NoFrame, // bytes that are no part of any frame
    SentBytes, // bytes of ours that are no whole frame
    NoAnswer, // a request neither acknowledged nor answered
    NoReply, // a request acknowledged, but no whole reply came
    ExchangeFailed, // every send of a request went without a reply
    UnreadableLine, // a line that is no log line
    CutLine, // a line that stops short; its bytes are still taken
};

enum class FrameProblemKind {
    SentAgain, // the same request again with the same sequence byte
    AskedAgain, // the same request as a new frame after an acknowledgement without reply
    LateAck, // acknowledges a frame other than the one waiting
    ReplyWithoutAck, // the reply came, but no acknowledgement of the request before it
    RepeatedReply, // the handset's last reply again: it did not hear our acknowledgement
    NeverAcknowledged, // a reply we never acknowledged
    WriteTimedOut, // the port did not take our frame whole
};

struct FrameProblem {
    FrameProblemKind kind;
    std::string text;
};

struct FrameEvent {
    FrameEventKind kind = FrameEventKind::NoFrame;
    int line = 0; // the log line it stands on (the last of them for a frame over several); 0 for none
    std::int64_t timeMs = 0; // as FrameLogLine::timeMs
    std::vector<std::uint8_t> bytes;
    std::string meaning;
    std::vector<FrameProblem> problems;

    bool has(FrameProblemKind problem) const;
};

struct FrameLogSummary {
    int exchanges = 0; // requests, each with all its sends
    int answered = 0; // exchanges that got a reply
    int sends = 0;
    int sentAgain = 0; // sends that repeated the sequence byte
    int askedAgain = 0; // sends as a new frame after an acknowledgement without reply
    int lostReplies = 0; // sends acknowledged without a whole reply
    int unansweredSends = 0; // sends neither acknowledged nor answered
    int unacknowledgedReplies = 0;
    int badChecksumFrames = 0;
    int cutFrames = 0;
    int noFrameBytes = 0; // bytes outside every frame, cut and damaged frames not counted
    int unreadableLines = 0; // lines that are no log lines, and lines cut short
    // From each exchange's first send to its last line; the time between
    // exchanges is the program's, not the line's.
    std::int64_t lineTimeMs = 0;
    // Each exchange's request and the handset's acknowledgement once, and
    // for an answered one its reply and our acknowledgement, at the line's
    // byte time. Echoes are the same bytes on the same wire; retries, noise
    // and waits add nothing.
    double leastLineTimeMs = 0;

    int retries() const { return sends - exchanges; }
};

struct FrameLogDecoding {
    std::vector<FrameEvent> events;
    FrameLogSummary summary;
};

// A phonebook record in words (name and number), from a whole frame whose
// data byte k is at 4 + k: a read reply or a write request. The record
// coding lives above the link, so the caller brings it.
using RecordText = std::function<std::string(const std::vector<std::uint8_t>& frame)>;

FrameLogDecoding decodeFrameLog(const std::vector<FrameLogLine>& lines, const RecordText& recordText = {});
