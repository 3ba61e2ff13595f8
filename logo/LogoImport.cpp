#include "logo/LogoImport.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "logo/LogoPicture.h"

namespace {

struct Layout {
    QRect source;  // the part of the picture that is shown
    QRect area;    // where it lands on the screen
};

int roundedRatio(qint64 numerator, qint64 denominator)
{
    return static_cast<int>((numerator + denominator / 2) / denominator);
}

Layout layoutFor(QSize size, LogoImportMode mode)
{
    const int w = size.width();
    const int h = size.height();
    if (w <= 0 || h <= 0)
        return {};
    if (mode == LogoImportMode::AsDrawn) {
        const QRect shown(0, 0, std::min(w, kLogoWidth), std::min(h, kLogoHeight));
        return {shown, shown};
    }
    const bool wider = qint64(w) * kLogoHeight >= qint64(h) * kLogoWidth;
    if (mode == LogoImportMode::Fit) {
        const int fitW = wider ? kLogoWidth : std::clamp(roundedRatio(qint64(w) * kLogoHeight, h), 1, kLogoWidth);
        const int fitH = wider ? std::clamp(roundedRatio(qint64(h) * kLogoWidth, w), 1, kLogoHeight) : kLogoHeight;
        return {QRect(0, 0, w, h), QRect((kLogoWidth - fitW) / 2, (kLogoHeight - fitH) / 2, fitW, fitH)};
    }
    const int cropW = wider ? std::clamp(roundedRatio(qint64(h) * kLogoWidth, kLogoHeight), 1, w) : w;
    const int cropH = wider ? h : std::clamp(roundedRatio(qint64(w) * kLogoHeight, kLogoWidth), 1, h);
    return {QRect((w - cropW) / 2, (h - cropH) / 2, cropW, cropH), QRect(0, 0, kLogoWidth, kLogoHeight)};
}

// Each screen dot takes the mean grey of the block of pixels it covers, so a
// large picture is read once and no detail is skipped; a small one repeats
// pixels.
std::vector<std::uint8_t> averageGreys(const QImage& picture, const Layout& layout)
{
    const QRect& from = layout.source;
    const int w = layout.area.width();
    const int h = layout.area.height();
    auto spans = [](int origin, int length, int parts) {
        std::vector<std::pair<int, int>> span(static_cast<std::size_t>(parts));
        for (int i = 0; i < parts; ++i) {
            const int begin = static_cast<int>(qint64(i) * length / parts);
            const int end = std::max(begin + 1, static_cast<int>(qint64(i + 1) * length / parts));
            span[static_cast<std::size_t>(i)] = {origin + begin, origin + end};
        }
        return span;
    };
    const auto columns = spans(from.x(), from.width(), w);
    const auto rows = spans(from.y(), from.height(), h);

    std::vector<std::uint8_t> levels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    std::vector<std::array<std::uint32_t, 3>> sums(static_cast<std::size_t>(w));
    for (int j = 0; j < h; ++j) {
        std::fill(sums.begin(), sums.end(), std::array<std::uint32_t, 3>{});
        const auto [rowBegin, rowEnd] = rows[static_cast<std::size_t>(j)];
        for (int y = rowBegin; y < rowEnd; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int i = 0; i < w; ++i) {
                const auto [begin, end] = columns[static_cast<std::size_t>(i)];
                std::uint32_t r = 0, g = 0, b = 0;
                for (int x = begin; x < end; ++x) {
                    const QRgb p = line[x];
                    r += (p >> 16) & 0xFF;
                    g += (p >> 8) & 0xFF;
                    b += p & 0xFF;
                }
                auto& sum = sums[static_cast<std::size_t>(i)];
                sum[0] += r;
                sum[1] += g;
                sum[2] += b;
            }
        }
        for (int i = 0; i < w; ++i) {
            const auto [begin, end] = columns[static_cast<std::size_t>(i)];
            const std::uint64_t count = std::uint64_t(end - begin) * std::uint64_t(rowEnd - rowBegin);
            const auto& sum = sums[static_cast<std::size_t>(i)];
            // Luma weights of 77, 150 and 29 out of 256.
            const std::uint64_t weighted = 77ull * sum[0] + 150ull * sum[1] + 29ull * sum[2];
            levels[static_cast<std::size_t>(j * w + i)] = static_cast<std::uint8_t>((weighted + 128 * count) / (256 * count));
        }
    }
    return levels;
}

std::array<std::uint8_t, 256> toneTable(int brightness, int contrast)
{
    const double c = std::clamp(contrast, -100, 100);
    const double gain = c >= 0 ? 100.0 / (100.0 - 0.99 * c) : (100.0 + c) / 100.0;
    const double lift = std::clamp(brightness, -100, 100) * 2.55;
    std::array<std::uint8_t, 256> table{};
    for (int v = 0; v < 256; ++v)
        table[static_cast<std::size_t>(v)] =
            static_cast<std::uint8_t>(std::clamp(std::lround((v - 127.5) * gain + 127.5 + lift), 0L, 255L));
    return table;
}

// Bayer's recursive index matrix of side n (a power of two), at (x, y).
int bayerIndex(int x, int y, int n)
{
    int index = 0;
    for (int scale = n / 2, bit = 1; scale >= 1; scale /= 2, bit *= 2) {
        const int xb = (x & bit) ? 1 : 0;
        const int yb = (y & bit) ? 1 : 0;
        index += (2 * (xb ^ yb) + yb) * scale * scale;
    }
    return index;
}

void ditherFloydSteinberg(const std::vector<std::uint8_t>& levels, QRect area, int threshold, LogoDots& dots)
{
    const int w = area.width();
    // Two rows of carried error with a spare cell at each end; the scan runs
    // back and forth so that the error does not drift to one side.
    std::vector<float> here(static_cast<std::size_t>(w + 2)), below(static_cast<std::size_t>(w + 2));
    for (int j = 0; j < area.height(); ++j) {
        std::fill(below.begin(), below.end(), 0.0f);
        const bool forward = j % 2 == 0;
        const int step = forward ? 1 : -1;
        for (int k = 0; k < w; ++k) {
            const int i = forward ? k : w - 1 - k;
            const std::size_t at = static_cast<std::size_t>(i + 1);
            const float value = levels[static_cast<std::size_t>(j * w + i)] + here[at];
            const bool set = value < static_cast<float>(threshold);
            dots[logoCellIndex(area.x() + i, area.y() + j)] = set;
            const float error = value - (set ? 0.0f : 255.0f);
            here[at + step] += error * 7 / 16;
            below[at - step] += error * 3 / 16;
            below[at] += error * 5 / 16;
            below[at + step] += error * 1 / 16;
        }
        std::swap(here, below);
    }
}

std::vector<std::uint8_t> adjusted(const std::vector<std::uint8_t>& greys, const LogoImportOptions& options)
{
    const auto table = toneTable(options.brightness, options.contrast);
    std::vector<std::uint8_t> levels(greys.size());
    std::transform(greys.begin(), greys.end(), levels.begin(), [&](std::uint8_t v) { return table[v]; });
    return levels;
}

// Ordered dithering shows the picture at its own tone unless a threshold is
// chosen: a cut picked to split two classes of grey would darken or lighten
// all of it, white included.
int thresholdFor(const std::vector<std::uint8_t>& levels, const LogoImportOptions& options)
{
    if (options.threshold)
        return std::clamp(*options.threshold, 0, 255);
    if (options.dither == LogoDither::Bayer4 || options.dither == LogoDither::Bayer8)
        return LogoImportOptions::kDefaultThreshold;
    return otsuThreshold(levels);
}

// For ordered dithering the threshold is the grey that comes out as half the
// dots: greys are bent so that it lands on the middle while black and white
// stay where they are.
std::array<std::uint8_t, 256> midtoneCurve(int threshold)
{
    const int t = std::clamp(threshold, 1, 254);
    std::array<std::uint8_t, 256> curve{};
    for (int v = 0; v < 256; ++v)
        curve[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(
            v <= t ? (v * 128 + t / 2) / t : 128 + ((v - t) * 127 + (255 - t) / 2) / (255 - t));
    return curve;
}

void ditherOrdered(const std::vector<std::uint8_t>& levels, QRect area, int threshold, int side, LogoDots& dots)
{
    const auto curve = midtoneCurve(threshold);
    for (int j = 0; j < area.height(); ++j)
        for (int i = 0; i < area.width(); ++i) {
            const int x = area.x() + i;
            const int y = area.y() + j;
            const int v = curve[levels[static_cast<std::size_t>(j * area.width() + i)]];
            // The pattern is tied to screen dots so that it does not crawl
            // when the picture moves. Its thresholds lie strictly between 0
            // and 255, so black is always a dot and white never.
            dots[logoCellIndex(x, y)] = 2 * v * side * side < (2 * bayerIndex(x, y, side) + 1) * 256;
        }
}

} // namespace

void LogoImport::setPicture(const QImage& picture)
{
    picture_ = picture.isNull() ? QImage() : logoPictureToBitmap(picture);
    fit_.reset();
    fill_.reset();
    asDrawn_.reset();
}

QRect LogoImport::placement(LogoImportMode mode) const
{
    return layoutFor(picture_.size(), mode).area;
}

const LogoImport::Greys& LogoImport::greys(LogoImportMode mode) const
{
    std::optional<Greys>& cached = mode == LogoImportMode::Fill ? fill_ : fit_;
    if (!cached) {
        const Layout layout = layoutFor(picture_.size(), mode);
        cached = Greys{layout.area, layout.area.isEmpty() ? std::vector<std::uint8_t>{} : averageGreys(picture_, layout)};
    }
    return *cached;
}

int LogoImport::threshold(const LogoImportOptions& options) const
{
    if (options.mode == LogoImportMode::AsDrawn)
        return thresholdFor({}, options);  // unused there; the chosen one or the middle
    return thresholdFor(adjusted(greys(options.mode).level, options), options);
}

LogoDots LogoImport::dots(const LogoImportOptions& options) const
{
    LogoDots dots{};
    if (options.mode == LogoImportMode::AsDrawn) {
        if (!asDrawn_)
            asDrawn_ = logoDotsFromPicture(picture_);
        dots = *asDrawn_;
    } else {
        const Greys& source = greys(options.mode);
        const std::vector<std::uint8_t> levels = adjusted(source.level, options);
        const int threshold = thresholdFor(levels, options);
        const QRect area = source.area;
        // A threshold of 0 would leave even black without a dot.
        switch (options.dither) {
        case LogoDither::FloydSteinberg:
            ditherFloydSteinberg(levels, area, std::max(threshold, 1), dots);
            break;
        case LogoDither::Bayer4:
        case LogoDither::Bayer8:
            ditherOrdered(levels, area, threshold, options.dither == LogoDither::Bayer4 ? 4 : 8, dots);
            break;
        case LogoDither::None:
            for (int j = 0; j < area.height(); ++j)
                for (int i = 0; i < area.width(); ++i)
                    dots[logoCellIndex(area.x() + i, area.y() + j)] =
                        levels[static_cast<std::size_t>(j * area.width() + i)] < std::max(threshold, 1);
            break;
        }
    }
    if (options.invert)
        for (auto&& dot : dots)
            dot = !dot;
    return dots;
}

LogoDots logoImportDots(const QImage& picture, const LogoImportOptions& options)
{
    return LogoImport(picture).dots(options);
}

int otsuThreshold(const std::vector<std::uint8_t>& levels)
{
    std::array<double, 256> histogram{};
    for (std::uint8_t v : levels)
        histogram[v] += 1;
    const double total = static_cast<double>(levels.size());
    double sumAll = 0;
    for (int v = 0; v < 256; ++v)
        sumAll += v * histogram[static_cast<std::size_t>(v)];

    double best = -1;
    int firstBest = -1;
    int lastBest = -1;
    double darkCount = 0;
    double darkSum = 0;
    for (int k = 0; k < 255; ++k) {
        darkCount += histogram[static_cast<std::size_t>(k)];
        darkSum += k * histogram[static_cast<std::size_t>(k)];
        const double lightCount = total - darkCount;
        if (darkCount == 0)
            continue;
        if (lightCount == 0)
            break;
        const double gap = darkSum / darkCount - (sumAll - darkSum) / lightCount;
        const double between = darkCount * lightCount * gap * gap;
        if (between > best) {
            best = between;
            firstBest = lastBest = k;
        } else if (between == best) {
            lastBest = k;
        }
    }
    if (firstBest < 0)
        return LogoImportOptions::kDefaultThreshold;
    // Every cut between two separate levels splits them equally well; take
    // the middle of the gap rather than its dark edge.
    return (firstBest + lastBest) / 2 + 1;
}
