// Saving the logo's picture in the format its file name asks for: PNG for a
// ".png" name, a Windows bitmap for anything else, as "Save as Bitmap" always
// wrote.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// "png" or "bmp", the Qt image format a save to fileName uses.
QByteArray logoPictureFormat(const QString& fileName);

// Writes through a temporary file that replaces fileName only when complete;
// raises PictureError naming the file and the reason on failure.
void exportLogoPicture(const QImage& picture, const QString& fileName);

// Save-dialog filter with both formats, Windows bitmaps first.
QString logoSavePictureFilter();
