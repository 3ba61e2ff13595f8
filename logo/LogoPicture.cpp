#include "logo/LogoPicture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QtEndian>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

#include <cstring>

#include "files/SafeFile.h"

QImage LogoBlankPicture()
{
    QImage bitmap(LogoWidth, LogoHeight, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    return bitmap;
}

QImage LogoPictureToBitmap(const QImage& picture)
{
    if (!picture.hasAlphaChannel())
        return picture.convertToFormat(QImage::Format_RGB32);
    QImage bitmap(picture.size(), QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, picture);
    return bitmap;
}

LogoDots LogoDotsFromPicture(const QImage& bitmap)
{
    LogoDots dots{};
    const int width = std::min(bitmap.width(), LogoWidth);
    const int height = std::min(bitmap.height(), LogoHeight);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = bitmap.pixel(x, y);
            dots[LogoCellIndex(x, y)] = qAlpha(pixel) == 255 && (pixel & 0xFFFFFFu) == 0;
        }
    return dots;
}

void LogoDrawDots(QImage& bitmap, const LogoDots& dots)
{
    const int width = std::min(bitmap.width(), LogoWidth);
    const int height = std::min(bitmap.height(), LogoHeight);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.setPixel(x, y, dots[LogoCellIndex(x, y)] ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
}

namespace {

QString ReadError(const QString& fileName, const QString& reason)
{
    return QCoreApplication::translate("Logo", "Cannot read the picture \"%1\": %2.").arg(fileName, reason);
}

// The bits of a row that carry pixels, without the padding at its end.
bool SamePixelBytes(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    const qsizetype bits = static_cast<qsizetype>(a.width()) * a.depth();
    const qsizetype whole = bits / 8;
    const int rest = static_cast<int>(bits % 8);
    const uchar mask = rest == 0               ? 0
        : a.format() == QImage::Format_MonoLSB ? static_cast<uchar>((1u << rest) - 1)
                                               : static_cast<uchar>(0xFFu << (8 - rest));
    for (int y = 0; y < a.height(); ++y) {
        const uchar* p = a.constScanLine(y);
        const uchar* q = b.constScanLine(y);
        if (std::memcmp(p, q, static_cast<std::size_t>(whole)) != 0 || (rest && ((p[whole] ^ q[whole]) & mask)))
            return false;
    }
    return true;
}

// libpng allocates a chunk's declared length before it reads the chunk, so a
// file of a few hundred bytes can ask for gigabytes. A chunk that runs past
// the end of the file means a cut or damaged file anyway.
bool PngChunksFitTheFile(const QByteArray& bytes)
{
    static constexpr char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (!bytes.startsWith(QByteArrayView(kSignature, 8)))
        return true;
    constexpr qint64 kChunkFrame = 12; // length, type and checksum
    qint64 at = 8;
    while (at + 8 <= bytes.size()) {
        const qint64 length = qFromBigEndian<quint32>(bytes.constData() + at);
        if (length > bytes.size() - at - kChunkFrame)
            return false;
        at += kChunkFrame + length;
    }
    return true;
}

} // namespace

QImage LogoDecodePicture(const QByteArray& bytes, const QString& fileName)
{
    QImageReader::setAllocationLimit(kPictureAllocationLimitMb);
    if (!PngChunksFitTheFile(bytes))
        throw PictureError(ReadError(fileName, QCoreApplication::translate("Logo", "the file ends before the picture does")));
    const QByteArray formatHint = QFileInfo(fileName).suffix().toLower().toLatin1();
    // Qt's readers stop at the end of a cut file without an error and leave
    // the rows they did not reach as they found them. So decode twice into
    // pictures filled with different bytes: a whole picture comes out the
    // same both times, a partly read one does not.
    QImage decoded[2];
    for (int pass = 0; pass < 2; ++pass) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, formatHint);
        const QSize size = reader.size();
        if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
            throw PictureError(
                ReadError(fileName, QCoreApplication::translate("Logo", "it is larger than %1 × %1 pixels").arg(kMaxPictureSide)));
        if (size.isValid() && reader.imageFormat() != QImage::Format_Invalid) {
            decoded[pass] = QImage(size, reader.imageFormat());
            if (!decoded[pass].isNull())
                std::memset(decoded[pass].bits(), pass == 0 ? 0x00 : 0xFF,
                            static_cast<std::size_t>(decoded[pass].sizeInBytes()));
        }
        if (!reader.read(&decoded[pass]) || decoded[pass].isNull())
            throw PictureError(ReadError(fileName, reader.errorString()));
        if (decoded[pass].width() > kMaxPictureSide || decoded[pass].height() > kMaxPictureSide)
            throw PictureError(
                ReadError(fileName, QCoreApplication::translate("Logo", "it is larger than %1 × %1 pixels").arg(kMaxPictureSide)));
    }
    if (!SamePixelBytes(decoded[0], decoded[1]))
        throw PictureError(ReadError(fileName, QCoreApplication::translate("Logo", "the file ends before the picture does")));
    return LogoPictureToBitmap(decoded[0]);
}

QImage LogoLoadPicture(const QString& fileName)
{
    // One byte over the limit tells a file that is too large from one that just fits.
    const FileContents contents = readRegularFile(fileName, kMaxPictureFileBytes + 1);
    if (!contents.outcome.ok())
        throw PictureError(ReadError(fileName, contents.outcome.reason));
    if (contents.bytes.size() > kMaxPictureFileBytes)
        throw PictureError(
            ReadError(fileName, QCoreApplication::translate("Logo", "the file is larger than %1 MB").arg(kMaxPictureFileBytes >> 20)));
    return LogoDecodePicture(contents.bytes, fileName);
}

QString LogoOpenPictureFilter()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return QCoreApplication::translate("Logo", "All pictures (%1);;Windows Bitmap (*.bmp);;All files (*)").arg(patterns.join(' '));
}
