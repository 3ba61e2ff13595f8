// Peak memory of loading pictures through the logo's loader: phone photos of
// 12 and 50 megapixels and pictures whose headers ask for far more than their
// bytes hold (huge PNG, GIF, bitmap and JPEG headers, a 16-bit PNG). Each
// picture is loaded in a child process of its own (this program run again),
// which reports its peak resident size before and after the load, reading
// the file included; Qt's own reader with its default limits is measured
// beside it for comparison.
#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>

#include <cstdio>
#include <cstring>
#include <string>

#include "logo/LogoPicture.h"

#if defined(__unix__)
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace {

constexpr const char* kLogoLoader = "--child-logo";
constexpr const char* kQtReader = "--child-qt";

// The process's peak resident size so far. Not getrusage: Linux carries the
// parent's peak over into a child started by vfork and exec.
long PeakKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Prints "<peak before> <peak after> <ms> <outcome>" on one line.
int RunChild(int argc, char** argv, bool logoLoader)
{
    QGuiApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QString path = QString::fromLocal8Bit(argv[2]);
    const long before = PeakKb();
    QElapsedTimer timer;
    timer.start();
    QString outcome;
    if (logoLoader) {
        try {
            const QImage picture = logoLoadPicture(path);
            outcome = QStringLiteral("loaded %1 x %2").arg(picture.width()).arg(picture.height());
        } catch (const PictureError& error) {
            outcome = QStringLiteral("refused: ") + error.message().section(QStringLiteral("\": "), 1);
        }
    } else {
        QImageReader reader(path);
        const QImage picture = reader.read();
        outcome = picture.isNull() ? QStringLiteral("failed: ") + reader.errorString()
                                   : QStringLiteral("loaded %1 x %2").arg(picture.width()).arg(picture.height());
    }
    std::printf("%ld %ld %lld %s\n", before, PeakKb(), static_cast<long long>(timer.elapsed()), qPrintable(outcome));
    return 0;
}

QImage PhotoLike(int width, int height, QImage::Format format)
{
    QImage picture(width, height, format);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int v = (x * 255 / width + y * 128 / height + (x * y) % 7) & 0xFF;
            line[x] = qRgb(v, 255 - v, (v * 3) & 0xFF);
        }
    }
    return picture;
}

QByteArray Encoded(const QImage& picture, const char* format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(85);
    writer.setProgressiveScanWrite(progressive);
    writer.write(picture);
    return bytes;
}

quint32 PngCrc(QByteArrayView bytes)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<uchar>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

struct Sample {
    const char* name;
    QByteArray bytes;
};

std::vector<Sample> Samples()
{
    std::vector<Sample> samples;
    QImage logo(84, 48, QImage::Format_RGB32);
    logo.fill(Qt::white);
    samples.push_back({"logo-84x48.bmp", Encoded(logo, "bmp")});
    const QImage phone = PhotoLike(4608, 2592, QImage::Format_RGB32);
    samples.push_back({"phone-12mp.jpg", Encoded(phone, "jpeg")});
    samples.push_back({"phone-12mp-progressive.jpg", Encoded(phone, "jpeg", true)});
    samples.push_back({"photo-50mp.jpg", Encoded(PhotoLike(8192, 6144, QImage::Format_RGB32), "jpeg")});

    QImage deep(4096, 4096, QImage::Format_RGBA64);
    for (int y = 0; y < deep.height(); ++y) {
        auto* line = reinterpret_cast<QRgba64*>(deep.scanLine(y));
        for (int x = 0; x < deep.width(); ++x)
            line[x] = QRgba64::fromRgba64(quint16(x * 16), quint16(y * 16), 0x8000, 0xFFFF);
    }
    samples.push_back({"deep-4096-16bit.png", Encoded(deep, "png")});

    QByteArray png = Encoded(logo, "png");
    qToBigEndian<quint32>(65535, png.data() + 16);
    qToBigEndian<quint32>(65535, png.data() + 20);
    qToBigEndian<quint32>(PngCrc(QByteArrayView(png).sliced(12, 17)), png.data() + 29);
    samples.push_back({"header-65535.png", png});

    samples.push_back({"header-65535.gif", QByteArray("GIF89a\xff\xff\xff\xff\x80\x00\x00" "\x00\x00\x00\xff\xff\xff"
                                                      "\x2c\x00\x00\x00\x00\xff\xff\xff\xff\x00" "\x02\x02\x44\x01\x00\x3b",
                                                      35)});

    QByteArray bmp = Encoded(logo, "bmp");
    qToLittleEndian<qint32>(30000, bmp.data() + 18);
    qToLittleEndian<qint32>(30000, bmp.data() + 22);
    samples.push_back({"header-30000.bmp", bmp});

    QByteArray jpeg = Encoded(logo, "jpeg");
    const qsizetype frame = jpeg.indexOf("\xff\xc0");
    qToBigEndian<quint16>(65000, jpeg.data() + frame + 5);
    qToBigEndian<quint16>(65000, jpeg.data() + frame + 7);
    samples.push_back({"header-65000.jpg", jpeg});

    QImage indexed(6000, 6000, QImage::Format_Indexed8);
    indexed.setColorCount(256);
    for (int i = 0; i < 256; ++i)
        indexed.setColor(i, qRgb(i, i, 255 - i));
    for (int y = 0; y < indexed.height(); ++y)
        std::memset(indexed.scanLine(y), y & 0xFF, static_cast<std::size_t>(indexed.width()));
    samples.push_back({"indexed-36mp.bmp", Encoded(indexed, "bmp")});
    return samples;
}

#if defined(__unix__)
std::string Run(const char* mode, const QString& path)
{
    int out[2];
    if (pipe(out) != 0)
        return "no pipe";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::string self = "/proc/self/exe";
    std::string file = path.toStdString();
    char* args[] = {self.data(), const_cast<char*>(mode), file.data(), nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string line;
    char c = 0;
    while (spawned == 0 && read(out[0], &c, 1) == 1 && c != '\n')
        line += c;
    close(out[0]);
    int status = 0;
    if (spawned == 0)
        waitpid(child, &status, 0);
    if (spawned != 0)
        return "could not start";
    if (WIFSIGNALED(status))
        return "killed by signal " + std::to_string(WTERMSIG(status));
    return line;
}

void Report(const char* name, qsizetype bytes, const char* reader, const std::string& line)
{
    long before = 0;
    long after = 0;
    long long ms = 0;
    int used = 0;
    if (std::sscanf(line.c_str(), "%ld %ld %lld %n", &before, &after, &ms, &used) < 3) {
        std::printf("%-28s %9lld %-5s %s\n", name, static_cast<long long>(bytes / 1024), reader, line.c_str());
        return;
    }
    std::printf("%-28s %9lld %-5s %8.1f %8.1f %7lld  %s\n", name, static_cast<long long>(bytes / 1024), reader,
                after / 1024.0, (after - before) / 1024.0, ms, line.c_str() + used);
}
#endif

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && std::strcmp(argv[1], kLogoLoader) == 0)
        return RunChild(argc, argv, true);
    if (argc > 2 && std::strcmp(argv[1], kQtReader) == 0)
        return RunChild(argc, argv, false);
#if defined(__unix__)
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::printf("Picture memory limit: %d MB. Peak and added peak resident size of a child process, MiB.\n",
                kPictureMemoryLimitMb);
    std::printf("%-28s %9s %-5s %8s %8s %7s  %s\n", "picture", "file KiB", "by", "peak", "added", "ms", "outcome");
    for (const Sample& sample : Samples()) {
        const QString path = dir.filePath(QString::fromLatin1(sample.name));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(sample.bytes) != sample.bytes.size())
            return 1;
        file.close();
        Report(sample.name, sample.bytes.size(), "logo", Run(kLogoLoader, path));
        Report("", sample.bytes.size(), "qt", Run(kQtReader, path));
    }
#endif
    return 0;
}
