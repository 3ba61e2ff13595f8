// Reading and replacing the program's files. Nothing but a regular file is
// ever opened (a named pipe would block the program for good), a replaced
// file is either whole or left byte for byte as it was, and every failure
// comes with its reason in words the user can act on.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>

enum class FileFault {
    None,
    Missing, // the file does not exist
    FolderMissing, // a folder on its path does not exist
    AccessDenied,
    ReadOnlyFileSystem,
    DiskFull,
    IsFolder,
    NotRegularFile, // a named pipe, a device or a socket
    InvalidName,
    IoError,
    Other,
};

struct FileOutcome {
    FileFault fault = FileFault::None;
    // A clause for "Cannot save "x": <reason>.", e.g. "the disk is full";
    // empty when nothing failed.
    QString reason;
    bool ok() const { return fault == FileFault::None; }
};

// What the file system says about a file's contents: any write, truncation
// or replacement changes at least one of these.
struct FileStamp {
    bool exists = false;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const FileStamp&) const = default;
};

struct FileProbe {
    FileOutcome outcome; // Missing, IsFolder, NotRegularFile, … or None for a regular file
    FileStamp stamp;
};

struct FileContents {
    FileOutcome outcome;
    QByteArray bytes;
    FileStamp stamp; // taken before reading, so a change during the read shows later
};

// Looks at a file without opening it.
FileProbe probeFile(const QString& path);

// Reads at most maxBytes (all of it when negative) of a regular file; anything
// else is refused before it is opened.
FileContents readRegularFile(const QString& path, qint64 maxBytes = -1);

// Replaces the file at path with bytes through a temporary file beside it: on
// any failure the earlier file stays as it was and no temporary file is left.
// A target that is not a regular file is refused before anything is written.
FileOutcome replaceFile(const QString& path, QByteArrayView bytes);

// The reason text of an errno value as this library words it.
FileOutcome fileOutcomeFromErrno(int error);
