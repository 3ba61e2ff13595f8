#include "LogoPicture.h"

#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

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
        for (int x = 0; x < width; ++x)
        {
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

QImage LogoLoadPicture(const QString& fileName)
{
    QImageReader reader(fileName);
    QImage picture = reader.read();
    if (picture.isNull())
        throw EPictureError(QStringLiteral("Cannot read the picture \"%1\": %2.").arg(fileName, reader.errorString()));
    return LogoPictureToBitmap(picture);
}

void LogoSavePicture(const QImage& bitmap, const QString& fileName)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EPictureError(QStringLiteral("Cannot save the bitmap \"%1\": %2.").arg(fileName, file.errorString()));
    QImageWriter writer(&file, "bmp");
    if (!writer.write(bitmap)) {
        const QString reason = writer.errorString();
        file.cancelWriting();
        throw EPictureError(QStringLiteral("Cannot save the bitmap \"%1\": %2.").arg(fileName, reason));
    }
    if (!file.commit())
        throw EPictureError(QStringLiteral("Cannot save the bitmap \"%1\": %2.").arg(fileName, file.errorString()));
}

QString LogoOpenPictureFilter()
{
    QStringList patterns;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        patterns << QStringLiteral("*.") + QString::fromLatin1(format);
    return QStringLiteral("All pictures (%1);;Windows Bitmap (*.bmp);;All files (*)").arg(patterns.join(' '));
}
