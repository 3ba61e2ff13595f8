// How closely each way of dithering shows a picture's tones on the 84 x 48
// logo. The halftone error is the root mean square difference, in grey
// levels, between the dots and the grey picture, both seen through a Gaussian
// blur of one dot, as an eye a little way off sees them. The program's
// ordered dithering is set against a textbook Bayer dither of the same greys,
// written here on its own, and against its Floyd-Steinberg dithering.
//
// Usage: bench_logo_dither [PICTURE or FOLDER ...]; without arguments the
// pictures of bench/pictures (made by bench/pictures/make-pictures.sh).
// Each picture is cut to the logo's shape about its middle and scaled to
// 84 x 48 first, so every method dithers the very same greys.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>

#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "logo/LogoImport.h"

namespace {

using Greys = std::vector<double>; // kLogoWidth x kLogoHeight, row-major, 0 black .. 255 white

QImage LogoSized(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width();
    const int h = rgb.height();
    const bool wider = qint64(w) * kLogoHeight > qint64(h) * kLogoWidth;
    const int cropW = wider ? int(qint64(h) * kLogoWidth / kLogoHeight) : w;
    const int cropH = wider ? h : int(qint64(w) * kLogoHeight / kLogoWidth);
    return rgb.copy((w - cropW) / 2, (h - cropH) / 2, cropW, cropH)
        .scaled(kLogoWidth, kLogoHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

Greys GreysOf(const QImage& small)
{
    Greys greys(kLogoCellCount);
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x) {
            const QRgb p = small.pixel(x, y);
            greys[static_cast<std::size_t>(y * kLogoWidth + x)] =
                0.299 * qRed(p) + 0.587 * qGreen(p) + 0.114 * qBlue(p);
        }
    return greys;
}

Greys DotsAsGreys(const LogoDots& dots)
{
    Greys greys(kLogoCellCount);
    for (int i = 0; i < kLogoCellCount; ++i)
        greys[static_cast<std::size_t>(i)] = dots[i] ? 0.0 : 255.0;
    return greys;
}

// The textbook recursion: M(2n) = [4M, 4M + 2; 4M + 3, 4M + 1].
std::vector<int> BayerMatrix(int side)
{
    std::vector<int> m{0};
    for (int n = 1; n < side; n *= 2) {
        std::vector<int> next(static_cast<std::size_t>(4 * n * n));
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x) {
                const int v = 4 * m[static_cast<std::size_t>(y * n + x)];
                const auto at = [&](int dx, int dy) { return static_cast<std::size_t>((y + dy * n) * 2 * n + x + dx * n); };
                next[at(0, 0)] = v;
                next[at(1, 0)] = v + 2;
                next[at(0, 1)] = v + 3;
                next[at(1, 1)] = v + 1;
            }
        m = std::move(next);
    }
    return m;
}

// A dot wherever the grey is below the matrix's threshold (i + 1/2) * 256 / n².
LogoDots ReferenceBayer(const Greys& greys, int side)
{
    const std::vector<int> m = BayerMatrix(side);
    LogoDots dots{};
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x) {
            const double threshold = (m[static_cast<std::size_t>((y % side) * side + x % side)] + 0.5) * 256.0 / (side * side);
            dots[logoCellIndex(x, y)] = greys[static_cast<std::size_t>(y * kLogoWidth + x)] < threshold;
        }
    return dots;
}

Greys Blurred(const Greys& in, double sigma)
{
    const int radius = static_cast<int>(std::ceil(3 * sigma));
    std::vector<double> kernel(static_cast<std::size_t>(2 * radius + 1));
    double sum = 0;
    for (int i = -radius; i <= radius; ++i)
        sum += kernel[static_cast<std::size_t>(i + radius)] = std::exp(-0.5 * i * i / (sigma * sigma));
    for (double& k : kernel)
        k /= sum;
    // Separable, with the edge dots repeated beyond the edge.
    const auto pass = [&](const Greys& from, bool across) {
        Greys to(from.size());
        for (int y = 0; y < kLogoHeight; ++y)
            for (int x = 0; x < kLogoWidth; ++x) {
                double v = 0;
                for (int i = -radius; i <= radius; ++i) {
                    const int sx = across ? std::clamp(x + i, 0, kLogoWidth - 1) : x;
                    const int sy = across ? y : std::clamp(y + i, 0, kLogoHeight - 1);
                    v += kernel[static_cast<std::size_t>(i + radius)]
                        * from[static_cast<std::size_t>(sy * kLogoWidth + sx)];
                }
                to[static_cast<std::size_t>(y * kLogoWidth + x)] = v;
            }
        return to;
    };
    return pass(pass(in, true), false);
}

double HalftoneError(const LogoDots& dots, const Greys& greys)
{
    constexpr double kSigma = 1.0;
    const Greys seen = Blurred(DotsAsGreys(dots), kSigma);
    const Greys meant = Blurred(greys, kSigma);
    double sum = 0;
    for (std::size_t i = 0; i < seen.size(); ++i)
        sum += (seen[i] - meant[i]) * (seen[i] - meant[i]);
    return std::sqrt(sum / static_cast<double>(seen.size()));
}

LogoDots Ours(const QImage& small, LogoDither dither)
{
    LogoImportOptions options;
    options.mode = LogoImportMode::Fill;
    options.dither = dither; // automatic threshold, as the import dialog opens
    return logoImportDots(small, options);
}

QStringList Pictures(const QStringList& arguments)
{
    QStringList named = arguments;
    if (named.isEmpty())
        named << QStringLiteral(M2BUS_BENCH_PICTURES);
    QStringList files;
    for (const QString& name : named) {
        if (!QFileInfo(name).isDir()) {
            files << name;
            continue;
        }
        for (const QFileInfo& entry : QDir(name).entryInfoList({"*.png", "*.jpg", "*.jpeg", "*.bmp", "*.gif"}, QDir::Files, QDir::Name))
            files << entry.filePath();
    }
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("Halftone error (RMS grey levels after a Gaussian blur of 1 dot), automatic threshold\n");
    std::printf("%-14s %7s %7s %7s %6s %7s %7s %6s %9s\n", "picture", "floyd", "bayer4", "ref4", "ratio", "bayer8",
                "ref8", "ratio", "bayer8/fs");
    std::array<double, 4> ratioSum{};
    int count = 0;
    for (const QString& path : Pictures(app.arguments().mid(1))) {
        const QImage picture(path);
        if (picture.isNull()) {
            std::printf("%s: cannot read\n", qPrintable(path));
            continue;
        }
        const QImage small = LogoSized(picture);
        const Greys greys = GreysOf(small);
        const double fs = HalftoneError(Ours(small, LogoDither::FloydSteinberg), greys);
        const double b4 = HalftoneError(Ours(small, LogoDither::Bayer4), greys);
        const double r4 = HalftoneError(ReferenceBayer(greys, 4), greys);
        const double b8 = HalftoneError(Ours(small, LogoDither::Bayer8), greys);
        const double r8 = HalftoneError(ReferenceBayer(greys, 8), greys);
        std::printf("%-14s %7.2f %7.2f %7.2f %6.3f %7.2f %7.2f %6.3f %9.3f\n", qPrintable(QFileInfo(path).completeBaseName()),
                    fs, b4, r4, b4 / r4, b8, r8, b8 / r8, b8 / fs);
        ratioSum[0] += b4 / r4;
        ratioSum[1] += b8 / r8;
        ratioSum[2] += b8 / fs;
        ratioSum[3] += b4 / fs;
        ++count;
    }
    if (count > 0)
        std::printf("mean ratios: bayer4/ref4 %.3f, bayer8/ref8 %.3f, bayer4/fs %.3f, bayer8/fs %.3f over %d pictures\n",
                    ratioSum[0] / count, ratioSum[1] / count, ratioSum[3] / count, ratioSum[2] / count, count);
    return 0;
}
