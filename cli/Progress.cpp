#include "cli/Progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

Progress::Progress(const QString& label, int total)
    : label_(label), total_(total > 0 ? total : 1), terminal_(isatty(fileno(stderr)) != 0)
{
}

Progress::~Progress()
{
    // The next message starts on a line of its own, even when the transfer stopped half-way.
    if (drawn_)
        std::fputc('\n', stderr);
}

void Progress::step(int done)
{
    if (terminal_) {
        constexpr int width = 30;
        const int filled = done * width / total_;
        const QString bar = QString(filled, '#') + QString(width - filled, '.');
        std::fprintf(stderr, "\r%s [%s] %d/%d", label_.toUtf8().constData(), bar.toUtf8().constData(), done, total_);
        std::fflush(stderr);
        drawn_ = true;
        return;
    }
    const int tenths = done * 10 / total_;
    if (tenths == shownTenths_)
        return;
    shownTenths_ = tenths;
    std::fprintf(stderr, "%s %d/%d\n", label_.toUtf8().constData(), done, total_);
}
