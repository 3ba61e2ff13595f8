#include "files/SafeFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

FileOutcome failedWith(FileFault fault, QString reason)
{
    return {fault, std::move(reason)};
}

FileOutcome folderFault()
{
    return failedWith(FileFault::IsFolder, QCoreApplication::translate("Files", "it is a folder"));
}

} // namespace

FileOutcome fileOutcomeFromErrno(int error)
{
    switch (error) {
    case 0:
        return {};
    case ENOENT:
        return failedWith(FileFault::Missing, QCoreApplication::translate("Files", "the file does not exist"));
    case ENOTDIR:
        return failedWith(FileFault::FolderMissing, QCoreApplication::translate("Files", "the folder does not exist"));
    case EACCES:
    case EPERM:
        return failedWith(FileFault::AccessDenied, QCoreApplication::translate("Files", "access is denied"));
    case EROFS:
        return failedWith(FileFault::ReadOnlyFileSystem,
                          QCoreApplication::translate("Files", "the file system is read-only"));
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return failedWith(FileFault::DiskFull, QCoreApplication::translate("Files", "the disk is full"));
    case EISDIR:
        return folderFault();
    case ENXIO:
    case ENODEV:
        return failedWith(FileFault::NotRegularFile, QCoreApplication::translate("Files", "it is not a regular file"));
    case ENAMETOOLONG:
    case EINVAL:
    case EILSEQ:
        return failedWith(FileFault::InvalidName, QCoreApplication::translate("Files", "the name is not valid"));
    case EIO:
        return failedWith(FileFault::IoError,
                          QCoreApplication::translate("Files", "the device reported an input/output error"));
    default:
        return failedWith(FileFault::Other, QString::fromLocal8Bit(std::strerror(error)).toLower());
    }
}

#ifdef Q_OS_UNIX

namespace {

FileOutcome notRegularFault(mode_t mode)
{
    if (S_ISDIR(mode))
        return folderFault();
    if (S_ISFIFO(mode))
        return failedWith(FileFault::NotRegularFile,
                          QCoreApplication::translate("Files", "it is a named pipe, not a file"));
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return failedWith(FileFault::NotRegularFile,
                          QCoreApplication::translate("Files", "it is a device, not a file"));
    if (S_ISSOCK(mode))
        return failedWith(FileFault::NotRegularFile,
                          QCoreApplication::translate("Files", "it is a socket, not a file"));
    return failedWith(FileFault::NotRegularFile, QCoreApplication::translate("Files", "it is not a regular file"));
}

FileStamp stampOf(const struct stat& st)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.size = static_cast<std::int64_t>(st.st_size);
    stamp.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changedNs = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    stamp.device = static_cast<std::uint64_t>(st.st_dev);
    stamp.inode = static_cast<std::uint64_t>(st.st_ino);
    return stamp;
}

QByteArray nativePath(const QString& path)
{
    return QFile::encodeName(path);
}

QByteArray nativeFolderOf(const QString& path)
{
    return nativePath(QFileInfo(path).absolutePath());
}

// Why a replace could not start or finish. Qt keeps no errno, so ask the
// file system with this process's effective rights; the errno seen right
// after the failing call is the fallback.
int writeFailureErrno(const QString& path, int seen)
{
    const QByteArray native = nativePath(path);
    struct stat st { };
    if (::stat(native.constData(), &st) == 0 && ::faccessat(AT_FDCWD, native.constData(), W_OK, AT_EACCESS) != 0)
        return errno;
    if (::faccessat(AT_FDCWD, nativeFolderOf(path).constData(), W_OK | X_OK, AT_EACCESS) != 0)
        return errno;
    return seen;
}

FileOutcome outcomeOf(int error, const QString& qtText)
{
    if (error != 0)
        return fileOutcomeFromErrno(error);
    return failedWith(FileFault::Other,
                      qtText.isEmpty() ? QCoreApplication::translate("Files", "an unknown error occurred")
                                       : qtText.toLower());
}

} // namespace

FileProbe probeFile(const QString& path)
{
    if (path.isEmpty())
        return {failedWith(FileFault::InvalidName, QCoreApplication::translate("Files", "the name is not valid")), {}};
    struct stat st { };
    if (::stat(nativePath(path).constData(), &st) != 0) {
        const int error = errno;
        return {fileOutcomeFromErrno(error == ENOTDIR ? ENOENT : error), {}};
    }
    FileProbe probe{{}, stampOf(st)};
    if (!S_ISREG(st.st_mode))
        probe.outcome = notRegularFault(st.st_mode);
    return probe;
}

FileContents readRegularFile(const QString& path, qint64 maxBytes)
{
    FileContents contents;
    const FileProbe probe = probeFile(path);
    if (!probe.outcome.ok()) {
        contents.outcome = probe.outcome;
        return contents;
    }
    // Non-blocking, so that a file swapped for a named pipe since the look
    // above cannot hang the open; fstat then tells what was really opened.
    const int fd = ::open(nativePath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        contents.outcome = fileOutcomeFromErrno(errno);
        return contents;
    }
    struct stat st { };
    if (::fstat(fd, &st) != 0) {
        contents.outcome = fileOutcomeFromErrno(errno);
    } else if (!S_ISREG(st.st_mode)) {
        contents.outcome = notRegularFault(st.st_mode);
    } else {
        contents.stamp = stampOf(st);
        const qint64 wanted = maxBytes < 0 ? std::numeric_limits<qint64>::max() : maxBytes;
        contents.bytes.resize(static_cast<qsizetype>(std::min<qint64>(st.st_size, wanted)));
        qint64 got = 0;
        while (got < wanted) {
            // The file may have grown since fstat.
            if (got == contents.bytes.size())
                contents.bytes.resize(static_cast<qsizetype>(std::min<qint64>(wanted, got + 65536)));
            const ssize_t n =
                ::read(fd, contents.bytes.data() + got, static_cast<std::size_t>(contents.bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                contents.outcome = fileOutcomeFromErrno(errno);
                break;
            }
            if (n == 0)
                break;
            got += n;
        }
        contents.bytes.resize(contents.outcome.ok() ? static_cast<qsizetype>(got) : 0);
    }
    ::close(fd);
    return contents;
}

FileOutcome replaceFile(const QString& path, QByteArrayView bytes)
{
    const FileProbe probe = probeFile(path);
    if (probe.outcome.fault == FileFault::Missing) {
        struct stat folder { };
        if (::stat(nativeFolderOf(path).constData(), &folder) != 0 || !S_ISDIR(folder.st_mode))
            return fileOutcomeFromErrno(ENOTDIR);
    } else if (!probe.outcome.ok()) {
        return probe.outcome;
    } else if (::faccessat(AT_FDCWD, nativePath(path).constData(), W_OK, AT_EACCESS) != 0) {
        // A rename would go through, but the user protected this file.
        return fileOutcomeFromErrno(errno);
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int seen = errno;
        return outcomeOf(writeFailureErrno(path, seen), file.errorString());
    }
    // Straight to the descriptor: every short write and its errno are seen
    // here, and nothing is left in a buffer for commit to lose.
    const int fd = file.handle();
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<std::size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            file.cancelWriting();
            return fileOutcomeFromErrno(error);
        }
        data += n;
        left -= n;
    }
    // Some file systems (NFS, delayed allocation) report a full disk only here.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP) {
        const int error = errno;
        file.cancelWriting();
        return fileOutcomeFromErrno(error);
    }
    if (!file.commit()) {
        const int seen = errno;
        return outcomeOf(writeFailureErrno(path, seen), file.errorString());
    }
    return {};
}

#else // Windows: Qt's own checks, without errno.

namespace {

FileOutcome QtFault(const QFileDevice& file, const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return folderFault();
    if (!QFileInfo(info.absolutePath()).isDir())
        return fileOutcomeFromErrno(ENOTDIR);
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        return fileOutcomeFromErrno(EACCES);
    case QFileDevice::ResizeError:
    case QFileDevice::WriteError:
        return fileOutcomeFromErrno(ENOSPC);
    case QFileDevice::ReadError:
        return fileOutcomeFromErrno(EIO);
    default:
        return failedWith(FileFault::Other, file.errorString().toLower());
    }
}

} // namespace

FileProbe probeFile(const QString& path)
{
    if (path.isEmpty())
        return {fileOutcomeFromErrno(EINVAL), {}};
    const QFileInfo info(path);
    if (!info.exists())
        return {fileOutcomeFromErrno(ENOENT), {}};
    FileProbe probe;
    probe.stamp.exists = true;
    probe.stamp.size = info.size();
    probe.stamp.modifiedNs = info.lastModified().toMSecsSinceEpoch() * 1000000;
    probe.stamp.changedNs = info.metadataChangeTime().toMSecsSinceEpoch() * 1000000;
    if (info.isDir())
        probe.outcome = folderFault();
    else if (!info.isFile())
        probe.outcome =
            failedWith(FileFault::NotRegularFile, QCoreApplication::translate("Files", "it is not a regular file"));
    return probe;
}

FileContents readRegularFile(const QString& path, qint64 maxBytes)
{
    FileContents contents;
    const FileProbe probe = probeFile(path);
    contents.outcome = probe.outcome;
    contents.stamp = probe.stamp;
    if (!probe.outcome.ok())
        return contents;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.outcome = QtFault(file, path);
        return contents;
    }
    contents.bytes = maxBytes < 0 ? file.readAll() : file.read(maxBytes);
    if (file.error() != QFileDevice::NoError) {
        contents.outcome = QtFault(file, path);
        contents.bytes.clear();
    }
    return contents;
}

FileOutcome replaceFile(const QString& path, QByteArrayView bytes)
{
    const FileProbe probe = probeFile(path);
    if (!probe.outcome.ok() && probe.outcome.fault != FileFault::Missing)
        return probe.outcome;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return QtFault(file, path);
    if (file.write(bytes.data(), bytes.size()) != bytes.size()) {
        const FileOutcome outcome = QtFault(file, path);
        file.cancelWriting();
        return outcome;
    }
    if (!file.commit())
        return QtFault(file, path);
    return {};
}

#endif
