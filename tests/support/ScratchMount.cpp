#include "support/ScratchMount.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#ifdef __linux__
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>
#endif

ScratchMount::ScratchMount(std::size_t sizeBytes)
{
#ifdef __linux__
    if (!dir_.isValid()) {
        reason_ = QStringLiteral("no temporary folder");
        return;
    }
    const std::string options = "size=" + std::to_string(sizeBytes) + ",mode=0777";
    const QByteArray path = dir_.path().toLocal8Bit();
    if (::mount("tmpfs", path.constData(), "tmpfs", 0, options.c_str()) != 0) {
        reason_ = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    mounted_ = true;
#else
    (void)sizeBytes;
    reason_ = QStringLiteral("only on Linux");
#endif
}

ScratchMount::~ScratchMount()
{
#ifdef __linux__
    if (mounted_)
        ::umount2(dir_.path().toLocal8Bit().constData(), MNT_DETACH);
#endif
}

void ScratchMount::FillUp()
{
#ifdef __linux__
    const QByteArray filler = FilePath(QStringLiteral(".filler")).toLocal8Bit();
    const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    if (fd < 0)
        throw std::runtime_error(std::string("scratch filler: ") + std::strerror(errno));
    // Large blocks first, then single bytes, so not even a byte is left.
    static const char block[4096] = {};
    for (std::size_t size : {sizeof block, std::size_t{1}}) {
        for (;;) {
            const ssize_t n = ::write(fd, block, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
        }
    }
    ::close(fd);
#endif
}

void ScratchMount::MakeReadOnly()
{
#ifdef __linux__
    const QByteArray path = dir_.path().toLocal8Bit();
    if (::mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        throw std::runtime_error(std::string("scratch remount read-only: ") + std::strerror(errno));
#endif
}
