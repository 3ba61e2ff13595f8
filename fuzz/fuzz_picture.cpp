// Picture file bytes through Qt's readers into the logo editor's dots: the
// import path of "Load Bitmap" for whatever a user may pick.
#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <cstdint>
#include <cstdlib>

#include "logo/LogoPicture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static QGuiApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "fuzz_picture";
        static char* argv[] = {name, nullptr};
        // Readers complain about every damaged input; that noise would drown the fuzzer's own report.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        QImageReader::setAllocationLimit(32);  // megabytes; a logo picture is tiny
        return new QGuiApplication(argc, argv);
    }();
    (void)app;

    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QImage picture = reader.read();
    if (picture.isNull())
        return 0;
    QImage bitmap = LogoPictureToBitmap(picture);
    const LogoDots dots = LogoDotsFromPicture(bitmap);
    LogoDrawDots(bitmap, dots);
    if (LogoDotsFromPicture(bitmap) != dots)
        std::abort();  // drawing the dots back must reproduce them
    return 0;
}
