#include "logo/LogoPicture.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "files/SafeFile.h"
#include "logo/PictureStructure.h"

QImage logoBlankPicture()
{
    QImage bitmap(kLogoWidth, kLogoHeight, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    return bitmap;
}

QImage logoPictureToBitmap(const QImage& picture)
{
    if (!picture.hasAlphaChannel())
        return picture.convertToFormat(QImage::Format_RGB32);
    QImage bitmap(picture.size(), QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, picture);
    return bitmap;
}

LogoDots logoDotsFromPicture(const QImage& bitmap)
{
    LogoDots dots{};
    const int width = std::min(bitmap.width(), kLogoWidth);
    const int height = std::min(bitmap.height(), kLogoHeight);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = bitmap.pixel(x, y);
            dots[logoCellIndex(x, y)] = qAlpha(pixel) == 255 && (pixel & 0xFFFFFFu) == 0;
        }
    return dots;
}

void logoDrawDots(QImage& bitmap, const LogoDots& dots)
{
    if (bitmap.width() < kLogoWidth || bitmap.height() < kLogoHeight) {
        QImage grown(std::max(bitmap.width(), kLogoWidth), std::max(bitmap.height(), kLogoHeight),
                     QImage::Format_RGB32);
        grown.fill(Qt::white);
        QPainter(&grown).drawImage(0, 0, bitmap);
        bitmap = grown;
    }
    const int width = std::min(bitmap.width(), kLogoWidth);
    const int height = std::min(bitmap.height(), kLogoHeight);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.setPixel(x, y, dots[logoCellIndex(x, y)] ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
}

namespace {

constexpr qint64 kMemoryLimitBytes = qint64(kPictureMemoryLimitMb) << 20;

QString readError(const QString& fileName, const QString& reason)
{
    return QCoreApplication::translate("Logo", "Cannot read the picture \"%1\": %2.").arg(fileName, reason);
}

QString cutShort()
{
    return QCoreApplication::translate("Logo", "the file ends before the picture does");
}

qint64 imageBytes(QSize size, QImage::Format format)
{
    const qint64 depth = QImage::toPixelFormat(format).bitsPerPixel();
    return (qint64(size.width()) * depth + 31) / 32 * 4 * size.height();
}

// A picture of this size as the decoder gives it, copies at once, and the
// 32-bit copy the logo is made from unless the decoder gives that already.
qint64 loadingBytes(QSize size, QImage::Format format, int copies)
{
    const qint64 bitmap = format == QImage::Format_RGB32 ? 0 : imageBytes(size, QImage::Format_RGB32);
    return copies * imageBytes(size, format) + bitmap;
}

// libjpeg reports a cut or damaged JPEG only as warnings, which Qt passes to
// the message handler, and pads the picture with grey. Warnings about data
// around a whole picture (extra bytes before a marker, an odd header) are
// left to pass: the picture is there.
class JpegDamage {
public:
    JpegDamage()
        : thread_(QThread::currentThread())
    {
        active_.store(this);
        previous_ = qInstallMessageHandler(&JpegDamage::handle);
    }
    ~JpegDamage()
    {
        qInstallMessageHandler(previous_);
        active_.store(nullptr);
    }
    JpegDamage(const JpegDamage&) = delete;
    JpegDamage& operator=(const JpegDamage&) = delete;

    // libjpeg's own words for the first damage seen; empty when none.
    const QString& report() const { return report_; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        JpegDamage* self = active_.load();
        if (self && type == QtWarningMsg && QThread::currentThread() == self->thread_ && context.category
            && qstrcmp(context.category, "qt.gui.imageio.jpeg") == 0) {
            static const char* const kDamage[] = {
                "Premature end of JPEG file",
                "Corrupt JPEG data: premature end of data segment",
                "Corrupt JPEG data: bad Huffman code",
                "Corrupt JPEG data: bad arithmetic code",
                "Corrupt JPEG data: found marker",
                "Inconsistent progression sequence",
            };
            for (const char* damage : kDamage)
                if (message.startsWith(QLatin1String(damage))) {
                    if (self->report_.isEmpty())
                        self->report_ = message;
                    return;
                }
        }
        const QtMessageHandler previous = self ? self->previous_ : nullptr;
        if (previous)
            previous(type, context, message);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }

    static inline std::atomic<JpegDamage*> active_{nullptr};
    QThread* thread_;
    QtMessageHandler previous_ = nullptr;
    QString report_;
};

// One decoding of the bytes. A fill byte decodes into a picture of the
// header's size and format filled with it, so that pixels the decoder never
// reaches keep it.
QImage decode(const QByteArray& bytes, const QByteArray& formatHint, const QString& fileName, QSize scaledSize,
              std::optional<uchar> fill)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, formatHint);
    // A phone keeps a photo taken upright on its side and says so in the file.
    reader.setAutoTransform(true);
    QImage picture;
    if (scaledSize.isValid())
        reader.setScaledSize(scaledSize);
    else if (fill) {
        picture = QImage(reader.size(), reader.imageFormat());
        if (!picture.isNull())
            std::memset(picture.bits(), *fill, static_cast<std::size_t>(picture.sizeInBytes()));
    }
    if (!reader.read(&picture) || picture.isNull())
        throw PictureError(readError(fileName, reader.errorString()));
    return picture;
}

// Whether some pixel is nothing but zero bytes; for pictures of less than a
// byte a pixel, always.
bool hasZeroPixels(const QImage& picture)
{
    if (picture.depth() < 8)
        return true;
    const qsizetype pixelBytes = picture.depth() / 8;
    const qsizetype rowBytes = pixelBytes * picture.width();
    static constexpr uchar kZeros[16] = {};
    for (int y = 0; y < picture.height(); ++y) {
        const uchar* row = picture.constScanLine(y);
        for (qsizetype at = 0; at < rowBytes; at += pixelBytes)
            if (std::memcmp(row + at, kZeros, static_cast<std::size_t>(std::min<qsizetype>(pixelBytes, 16))) == 0)
                return true;
    }
    return false;
}

// A hash of each row's pixel bits, without the padding at its end.
std::vector<std::size_t> rowHashes(const QImage& picture)
{
    const qsizetype bits = static_cast<qsizetype>(picture.width()) * picture.depth();
    const qsizetype whole = bits / 8;
    const int rest = static_cast<int>(bits % 8);
    const uchar mask = rest == 0                            ? 0
        : picture.format() == QImage::Format_MonoLSB ? static_cast<uchar>((1u << rest) - 1)
                                                     : static_cast<uchar>(0xFFu << (8 - rest));
    std::vector<std::size_t> hashes(static_cast<std::size_t>(picture.height()));
    for (int y = 0; y < picture.height(); ++y) {
        const uchar* row = picture.constScanLine(y);
        const std::size_t partial = rest ? row[whole] & mask : 0;
        hashes[static_cast<std::size_t>(y)] = qHashBits(row, static_cast<std::size_t>(whole), partial);
    }
    return hashes;
}

// Qt's readers stop at the end of a cut file without an error and leave the
// pixels they did not reach as they found them. Decoded over zero bytes, such
// pixels are all zero, which an opaque 32-bit decoding never gives; only a
// picture that has some is decoded again over 0xFF bytes and compared row by
// row, so that one picture is held at a time.
QImage decodeWhole(const QByteArray& bytes, const QByteArray& formatHint, const QString& fileName, QSize size,
                   QImage::Format format)
{
    QImage picture = decode(bytes, formatHint, fileName, {}, uchar(0x00));
    const bool filled = picture.size() == size && picture.format() == format;
    if (!filled || !hasZeroPixels(picture))
        return picture;
    const std::vector<std::size_t> rows = rowHashes(picture);
    picture = QImage();
    picture = decode(bytes, formatHint, fileName, {}, uchar(0xFF));
    if (rowHashes(picture) != rows)
        throw PictureError(readError(fileName, cutShort()));
    return picture;
}

QString tooLong(const QString& fileName, QSize size)
{
    return readError(fileName,
                     QCoreApplication::translate("Logo", "it is %1 × %2 pixels, and no side may be longer than %3 pixels")
                         .arg(size.width())
                         .arg(size.height())
                         .arg(kMaxPictureSide));
}

QString tooLarge(const QString& fileName, QSize size, qint64 bytes)
{
    return readError(fileName,
                     QCoreApplication::translate("Logo",
                                                 "it is %1 × %2 pixels and would take %3 MB to load, more "
                                                 "than the %4 MB a picture may take")
                         .arg(size.width())
                         .arg(size.height())
                         .arg((bytes + (1 << 20) - 1) >> 20)
                         .arg(kPictureMemoryLimitMb));
}

} // namespace

QImage logoDecodePicture(const QByteArray& bytes, const QString& fileName)
{
    // A backstop for what the decoders allocate themselves.
    QImageReader::setAllocationLimit(kPictureMemoryLimitMb);
    const JpegLayout jpeg = jpegLayout(bytes);
    if (!pngChunksFitTheFile(bytes) || !gifFirstPictureIsWhole(bytes) || !jpeg.whole)
        throw PictureError(readError(fileName, cutShort()));
    const QByteArray formatHint = QFileInfo(fileName).suffix().toLower().toLatin1();

    QBuffer header;
    header.setData(bytes);
    header.open(QIODevice::ReadOnly);
    QImageReader reader(&header, formatHint);
    const QSize size = reader.size(); // as stored, before turning it upright
    // A header the reader could not take gives no format; some readers then
    // hand back whatever their field held, which is no format either.
    const int storedFormat = size.isValid() ? static_cast<int>(reader.imageFormat()) : QImage::Format_Invalid;
    const QImage::Format format = storedFormat > QImage::Format_Invalid && storedFormat < QImage::NImageFormats
        ? static_cast<QImage::Format>(storedFormat)
        : QImage::Format_Invalid;
    // Turning a picture upright makes a turned copy of it.
    const int turned = reader.transformation() == QImageIOHandler::TransformationNone ? 0 : 1;
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        throw PictureError(tooLong(fileName, size));
    // Readers that cannot tell the format beforehand (GIF) give 32 bits a pixel.
    const QImage::Format counted = format == QImage::Format_Invalid ? QImage::Format_ARGB32 : format;
    QSize scaledSize;
    if (size.isValid()) {
        qint64 need = jpeg.coefficientBytes + loadingBytes(size, counted, 1 + turned);
        // libjpeg scales by eighths while it decodes; Qt then shrinks its
        // output to the size asked for, so two pictures are held for a moment.
        for (int eighths = 7; need > kMemoryLimitBytes && jpeg.isJpeg && eighths >= 1; --eighths) {
            scaledSize = QSize(std::max(1, int(qint64(size.width()) * eighths / 8)),
                               std::max(1, int(qint64(size.height()) * eighths / 8)));
            need = jpeg.coefficientBytes + loadingBytes(scaledSize, counted, 2 + turned);
        }
        if (need > kMemoryLimitBytes)
            throw PictureError(tooLarge(fileName, size, need));
    }

    std::optional<JpegDamage> damage;
    if (jpeg.isJpeg)
        damage.emplace();
    QImage picture = scaledSize.isValid() || format == QImage::Format_Invalid
        ? decode(bytes, formatHint, fileName, scaledSize, std::nullopt)
        : decodeWhole(bytes, formatHint, fileName, size, format);
    if (damage && !damage->report().isEmpty())
        throw PictureError(readError(
            fileName, QCoreApplication::translate("Logo", "the picture in it is damaged (%1)").arg(damage->report())));
    damage.reset();
    // A size the header did not tell is checked now; the allocation limit
    // bounded the decoding itself.
    if (!size.isValid() && loadingBytes(picture.size(), picture.format(), 1) > kMemoryLimitBytes)
        throw PictureError(tooLarge(fileName, picture.size(), loadingBytes(picture.size(), picture.format(), 1)));
    if (picture.width() > kMaxPictureSide || picture.height() > kMaxPictureSide)
        throw PictureError(tooLong(fileName, picture.size()));
    return logoPictureToBitmap(picture);
}

QImage logoLoadPicture(const QString& fileName)
{
    // One byte over the limit tells a file that is too large from one that just fits.
    const FileContents contents = readRegularFile(fileName, kMaxPictureFileBytes + 1);
    if (!contents.outcome.ok())
        throw PictureError(readError(fileName, contents.outcome.reason));
    if (contents.bytes.size() > kMaxPictureFileBytes)
        throw PictureError(readError(
            fileName,
            QCoreApplication::translate("Logo", "the file is larger than %1 MB").arg(kMaxPictureFileBytes >> 20)));
    return logoDecodePicture(contents.bytes, fileName);
}

QString logoOpenPictureFilter()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return QCoreApplication::translate("Logo", "All pictures (%1);;Windows Bitmap (*.bmp);;All files (*)").arg(patterns.join(' '));
}
