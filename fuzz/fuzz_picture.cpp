// Picture file bytes through Qt's readers into the logo editor's dots: the
// import path of "Load Bitmap" for whatever a user may pick, with the same
// decoding function and image limits as the program.
#include <QGuiApplication>
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
        return new QGuiApplication(argc, argv);
    }();
    (void)app;

    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QImage bitmap;
    try {
        bitmap = logoDecodePicture(bytes, QString());
    } catch (const PictureError&) {
        return 0;
    }
    if (bitmap.width() > kMaxPictureSide || bitmap.height() > kMaxPictureSide)
        std::abort();
    const LogoDots dots = logoDotsFromPicture(bitmap);
    logoDrawDots(bitmap, dots);
    if (logoDotsFromPicture(bitmap) != dots)
        std::abort(); // drawing the dots back must reproduce them
    return 0;
}
