// m2bus-cli decode: a frame log (--log) in words, frame by frame, or its counts.
#pragma once

#include "cli/ToolAccess.h"
#include "link/FrameLogDecoder.h"

#include <QString>
#include <QStringList>

// Reads and decodes the log; raises CliError(File) when it cannot be read
// or none of its lines is a log line.
FrameLogDecoding decodeFrameLogFile(const QString& path);

// One line a frame (and a line for each thing that went wrong between
// frames), with a line for the date wherever it changes.
QStringList decodedLogLines(const FrameLogDecoding& decoding);
QStringList logSummaryLines(const FrameLogSummary& summary);

// Prints the decoded log, or with summaryOnly its counts, on stdout.
void runDecode(const QString& path, bool summaryOnly);
