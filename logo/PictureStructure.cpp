#include "logo/PictureStructure.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const uchar* bytesOf(const QByteArray& bytes)
{
    return reinterpret_cast<const uchar*>(bytes.constData());
}

} // namespace

bool pngChunksFitTheFile(const QByteArray& bytes)
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

bool gifFirstPictureIsWhole(const QByteArray& bytes)
{
    if (!bytes.startsWith("GIF87a") && !bytes.startsWith("GIF89a"))
        return true;
    const uchar* data = bytesOf(bytes);
    const qint64 size = bytes.size();
    if (size < 13)
        return false;
    const auto colourTable = [](uchar flags) { return (flags & 0x80) ? qint64(3) << ((flags & 7) + 1) : 0; };
    qint64 at = 13 + colourTable(data[10]);
    // Data comes in sub-blocks, each after its length byte, until a length of 0.
    const auto skipSubBlocks = [&] {
        while (at < size) {
            const int length = data[at++];
            if (length == 0)
                return true;
            at += length;
        }
        return false;
    };
    while (at < size) {
        const uchar introducer = data[at++];
        if (introducer == 0x21) { // an extension: its label, then sub-blocks
            ++at;
            if (!skipSubBlocks())
                return false;
        } else if (introducer == 0x2C) { // a picture: its descriptor, colours, code size, data
            if (at + 9 > size)
                return false;
            at += 9 + colourTable(data[at + 8]) + 1;
            return skipSubBlocks();
        } else {
            return true; // the trailer, or damage the reader reports itself
        }
    }
    return false;
}

JpegLayout jpegLayout(const QByteArray& bytes)
{
    JpegLayout layout;
    const uchar* data = bytesOf(bytes);
    const qint64 size = bytes.size();
    if (size < 3 || data[0] != 0xFF || data[1] != 0xD8 || data[2] != 0xFF)
        return layout;
    layout.isJpeg = true;
    const auto cut = [&layout] {
        layout.whole = false;
        return layout;
    };

    struct Sampling {
        int h = 1;
        int v = 1;
    };
    std::vector<Sampling> components;
    int width = 0;
    int height = 0;
    bool progressive = false;
    int scans = 0;
    qint64 at = 2;
    bool ended = false;
    while (!ended) {
        if (at >= size)
            return cut();
        if (data[at] != 0xFF)
            break; // not a marker: libjpeg skips it with a warning of its own
        while (at < size && data[at] == 0xFF)
            ++at;
        if (at >= size)
            return cut();
        const uchar marker = data[at++];
        if (marker == 0xD9) {
            ended = true;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // markers without a length
        if (at + 2 > size)
            return cut();
        const int length = data[at] << 8 | data[at + 1];
        if (length < 2)
            break;
        if (at + length > size)
            return cut();
        const uchar* segment = data + at + 2;
        const int segmentLength = length - 2;
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame && segmentLength >= 6) {
            height = segment[1] << 8 | segment[2];
            width = segment[3] << 8 | segment[4];
            progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
            components.clear();
            for (int c = 0; c < segment[5] && 6 + 3 * c + 2 < segmentLength; ++c) {
                const uchar sampling = segment[6 + 3 * c + 1];
                components.push_back({std::max(1, sampling >> 4), std::max(1, sampling & 15)});
            }
        }
        at += length;
        if (marker != 0xDA)
            continue;
        ++scans;
        // The coded data runs to the next marker; in it a 0xFF byte is
        // followed by 0 or a restart marker.
        for (;;) {
            const void* found = std::memchr(data + at, 0xFF, static_cast<std::size_t>(size - at));
            if (!found)
                return cut();
            at = static_cast<const uchar*>(found) - data;
            if (at + 1 >= size)
                return cut();
            const uchar next = data[at + 1];
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7))
                at += 2;
            else if (next == 0xFF)
                at += 1;
            else
                break;
        }
    }

    if ((progressive || scans > 1) && !components.empty()) {
        int maxH = 1;
        int maxV = 1;
        for (const Sampling& s : components) {
            maxH = std::max(maxH, s.h);
            maxV = std::max(maxV, s.v);
        }
        // Blocks of 8 x 8 coefficients of 2 bytes, per component, in whole MCUs.
        const qint64 mcuColumns = (width + 8 * maxH - 1) / (8 * maxH);
        const qint64 mcuRows = (height + 8 * maxV - 1) / (8 * maxV);
        for (const Sampling& s : components)
            layout.coefficientBytes += mcuColumns * s.h * mcuRows * s.v * 64 * 2;
    }
    return layout;
}
