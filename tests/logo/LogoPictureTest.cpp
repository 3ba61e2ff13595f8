// Loading picture files people have: phone photos of any size, pictures cut
// short or damaged, and pictures whose headers ask for more memory than any
// logo needs.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtEndian>

#include "logo/LogoPicture.h"

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

class LogoPictureTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QString Write(const char* name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    // The message a refused picture gives, empty when it loads.
    static QString Refusal(const QString& path)
    {
        try {
            logoLoadPicture(path);
        } catch (const PictureError& error) {
            return error.message();
        }
        return {};
    }
    static QString TooLarge(const QString& path, int width, int height, int megabytes)
    {
        return QStringLiteral("Cannot read the picture \"%1\": it is %2 × %3 pixels and would take %4 MB to load, "
                              "more than the 64 MB a picture may take.")
            .arg(path)
            .arg(width)
            .arg(height)
            .arg(megabytes);
    }
};

// Soft shading with fine detail, as a photo has; grey pictures cost a quarter.
QImage PhotoLike(int width, int height, QImage::Format format)
{
    QImage picture(width, height, format);
    for (int y = 0; y < height; ++y) {
        uchar* line = picture.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const int v = (x * 255 / width + y * 128 / height + (x * y) % 7) & 0xFF;
            if (format == QImage::Format_Grayscale8)
                line[x] = static_cast<uchar>(v);
            else
                reinterpret_cast<QRgb*>(line)[x] = qRgb(v, 255 - v, (v * 3) & 0xFF);
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
    writer.setQuality(80);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(picture)) << writer.errorString().toStdString();
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

TEST_F(LogoPictureTest, PhonePhotosLoadWithinTheMemoryLimit)
{
    // 12 megapixels, as phones take them, fit whole.
    const QString phone = Write("phone.jpg", Encoded(PhotoLike(4608, 2592, QImage::Format_RGB32), "jpeg"));
    EXPECT_EQ(logoLoadPicture(phone).size(), QSize(4608, 2592));

    // 50 megapixels would not: the decoder scales them down while it decodes.
    const QString large = Write("large.jpg", Encoded(PhotoLike(8192, 6144, QImage::Format_Grayscale8), "jpeg"));
    const QImage loaded = logoLoadPicture(large);
    EXPECT_LT(loaded.width(), 8192);
    EXPECT_GE(loaded.width(), 1024);
    EXPECT_NEAR(loaded.height() * 8192.0 / loaded.width(), 6144, 8);
    // Its 32-bit copy fits in the limit beside two grey pictures of its size,
    // the decoder's and the one scaled from it.
    EXPECT_LE(loaded.sizeInBytes() * 3 / 2, qint64(kPictureMemoryLimitMb) << 20);
}

TEST_F(LogoPictureTest, PhotosTakenUprightLoadUpright)
{
    // Stored on its side, left half dark, with the note phones write: turn it
    // a quarter clockwise to show it.
    QImage stored(64, 32, QImage::Format_RGB32);
    stored.fill(Qt::white);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            stored.setPixel(x, y, qRgb(0, 0, 0));
    const QByteArray exif("\xff\xe1\x00\x22" "Exif\x00\x00" "MM\x00\x2a\x00\x00\x00\x08" "\x00\x01"
                          "\x01\x12\x00\x03\x00\x00\x00\x01\x00\x06\x00\x00" "\x00\x00\x00\x00",
                          36);
    const QImage shown = logoLoadPicture(Write("upright.jpg", Encoded(stored, "jpeg").insert(2, exif)));
    ASSERT_EQ(shown.size(), QSize(32, 64));
    EXPECT_LT(qGray(shown.pixel(16, 8)), 64);
    EXPECT_GT(qGray(shown.pixel(16, 56)), 192);
}

TEST_F(LogoPictureTest, HeadersAskingForMoreThanTheMemoryLimitAreRefusedBeforeDecoding)
{
    // A small 16-bit PNG whose header says 4096 x 4096: 8 bytes a pixel
    // decoded, 4 more for the logo's copy.
    QByteArray png = Encoded(QImage(64, 64, QImage::Format_RGBA64), "png");
    qToBigEndian<quint32>(4096, png.data() + 16);
    qToBigEndian<quint32>(4096, png.data() + 20);
    qToBigEndian<quint32>(PngCrc(QByteArrayView(png).sliced(12, 17)), png.data() + 29);
    const QString deep = Write("deep.png", png);
    EXPECT_EQ(Refusal(deep), TooLarge(deep, 4096, 4096, 192));

    // A GIF of the largest size it can state, two colours, a few bytes of data.
    const QByteArray gif("GIF89a\xff\xff\xff\xff\x80\x00\x00" "\x00\x00\x00\xff\xff\xff"
                         "\x2c\x00\x00\x00\x00\xff\xff\xff\xff\x00" "\x02\x02\x44\x01\x00\x3b", 35);
    const QString wide = Write("wide.gif", gif);
    EXPECT_EQ(Refusal(wide), TooLarge(wide, 65535, 65535, 32768));

    // A progressive JPEG is decoded from all its coefficients, which no
    // scaling makes smaller: its header alone tells they do not fit.
    QByteArray jpeg = Encoded(PhotoLike(64, 48, QImage::Format_RGB32), "jpeg", true);
    const qsizetype frame = jpeg.indexOf("\xff\xc2");
    ASSERT_GT(frame, 0);
    qToBigEndian<quint16>(12000, jpeg.data() + frame + 5);
    qToBigEndian<quint16>(16000, jpeg.data() + frame + 7);
    const QString progressive = Write("progressive.jpg", jpeg);
    const QString refusal = Refusal(progressive);
    EXPECT_TRUE(refusal.startsWith(QStringLiteral("Cannot read the picture \"%1\": it is 16000 × 12000 pixels and would take ")
                                       .arg(progressive)))
        << refusal.toStdString();

    // A bitmap whose header the reader cannot take up front (1 pixel wide,
    // 2686976 rows top-down, one bit a pixel, 63 bytes in all) is still
    // held to the longest side once decoded.
    const QByteArray tall = QByteArray::fromHex("424d7e020000000000003e010000280000000100"
                                                "00000000d7ff0100010000000000000000000000"
                                                "000000000000000000000000000000dbef000000"
                                                "000000");
    const QString tallName = Write("tall.bmp", tall);
    EXPECT_TRUE(Refusal(tallName).endsWith(QStringLiteral("no side may be longer than %1 pixels.").arg(kMaxPictureSide)))
        << Refusal(tallName).toStdString();
}

TEST_F(LogoPictureTest, CutOrDamagedPicturesAreRefused)
{
    const QByteArray jpeg = Encoded(PhotoLike(400, 300, QImage::Format_RGB32), "jpeg");
    const QString cut = Write("cut.jpg", jpeg.first(1476));
    EXPECT_EQ(Refusal(cut), "Cannot read the picture \"" + cut + "\": the file ends before the picture does.");
    // Ended where it should not be, the data comes out short: libjpeg says so.
    const QString damaged = Write("damaged.jpg", jpeg.first(1476) + "\xff\xd9");
    EXPECT_TRUE(Refusal(damaged).startsWith("Cannot read the picture \"" + damaged + "\": the picture in it is damaged ("))
        << Refusal(damaged).toStdString();
    // Bytes after the end of the picture, as some cameras leave, are no damage.
    EXPECT_EQ(Refusal(Write("padded.jpg", jpeg + QByteArray(100, '\0'))), QString());

    QFile gif(M2BUS_SOURCE_DIR "/tests/fixtures/plasma-168x96.gif");
    ASSERT_TRUE(gif.open(QIODevice::ReadOnly));
    const QByteArray whole = gif.readAll();
    EXPECT_EQ(logoLoadPicture(Write("whole.gif", whole)).size(), QSize(168, 96));
    const QString cutGif = Write("cut.gif", whole.first(whole.size() * 2 / 3));
    EXPECT_EQ(Refusal(cutGif), "Cannot read the picture \"" + cutGif + "\": the file ends before the picture does.");

    // An 8-bit bitmap whose first colour is black: whole, its black pixels
    // are no sign of rows left unread; cut, its missing rows are.
    QImage indexed = PhotoLike(200, 150, QImage::Format_RGB32).convertToFormat(QImage::Format_Indexed8);
    indexed.setColor(0, qRgb(0, 0, 0));
    const QByteArray bmp = Encoded(indexed, "bmp");
    EXPECT_EQ(logoLoadPicture(Write("whole.bmp", bmp)), logoPictureToBitmap(indexed));
    const QString cutBmp = Write("cut.bmp", bmp.first(bmp.size() - 1000));
    EXPECT_EQ(Refusal(cutBmp), "Cannot read the picture \"" + cutBmp + "\": the file ends before the picture does.");
}

} // namespace
