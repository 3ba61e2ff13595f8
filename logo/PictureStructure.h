// What a picture file's own structure tells before it is decoded: whether it
// was cut short, and what a JPEG decoder will hold while it decodes.
#pragma once

#include <QByteArray>
#include <QSize>

// False when a PNG chunk runs past the end of the file. libpng allocates a
// chunk's declared length before it reads the chunk, so this also keeps a
// file of a few hundred bytes from asking for gigabytes. True for anything
// that is not a PNG.
bool pngChunksFitTheFile(const QByteArray& bytes);

// False when a GIF ends before the data of its first picture does: Qt's
// reader shows the rows it did not reach blank and reports no error. True for
// anything that is not a GIF.
bool gifFirstPictureIsWhole(const QByteArray& bytes);

struct JpegLayout {
    bool isJpeg = false;
    // False when the file ends before its end-of-picture marker: libjpeg then
    // pads the picture with grey and only warns.
    bool whole = true;
    // A picture coded in several scans (progressive ones) is decoded from its
    // whole set of coefficients, which libjpeg holds at any output scale.
    // 0 for a picture in one scan.
    qint64 coefficientBytes = 0;
};

// The markers of a JPEG walked from start to end; isJpeg false for other files.
JpegLayout jpegLayout(const QByteArray& bytes);
