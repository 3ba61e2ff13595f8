// The logo manager's preview picture: loading any picture Qt reads as a plain
// bitmap and the exact-black rule that turns it into dots. Saving is in
// LogoExport.h.
#pragma once

#include <QImage>
#include <QString>

#include "logo/LogoBlocks.h"
#include "logo/PictureError.h"

// The white 84 x 48 bitmap made when pixels are needed and no picture is held.
QImage logoBlankPicture();
// Any decoded picture as a 32-bit bitmap of the same size; transparent parts
// are laid over white, so they never count as black.
QImage logoPictureToBitmap(const QImage& picture);
// True for dots whose pixel is exactly black; pixels outside the picture count as white.
LogoDots logoDotsFromPicture(const QImage& bitmap);
// Writes the dots into the top-left 84 x 48 pixels: black for a set dot, white
// otherwise. A smaller bitmap first grows to 84 x 48, the new part white.
void logoDrawDots(QImage& bitmap, const LogoDots& dots);

// Limits of what "Load Bitmap" takes: far above any logo picture, far below
// what would exhaust memory. The memory limit covers everything a picture
// holds while it loads: its decoded pixels, their 32-bit copy and what the
// JPEG decoder keeps. A JPEG too large for it is decoded scaled down by
// eighths; any other picture too large is refused.
inline constexpr qint64 kMaxPictureFileBytes = 64 * 1024 * 1024;
inline constexpr int kMaxPictureSide = 65535;
inline constexpr int kPictureMemoryLimitMb = 64;

// Raises PictureError naming the file when it is not a regular file, cannot
// be read, Qt cannot read the whole picture in it, or it is over a limit.
QImage logoLoadPicture(const QString& fileName);
// The decoding step of logoLoadPicture, on bytes already read (the fuzzer
// drives it directly). fileName is for messages and the format hint only.
QImage logoDecodePicture(const QByteArray& bytes, const QString& fileName);
// Open-dialog filter for every format Qt reads, Windows bitmaps listed first.
QString logoOpenPictureFilter();
