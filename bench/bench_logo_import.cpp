// Turning a 4000 x 3000 photo into logo dots: the first conversion, which
// scales the picture down, and an option change in the import dialog, which
// reuses the scaled greys. A change has to stay well under 30 ms for the
// preview to follow a slider.
#include <benchmark/benchmark.h>

#include <QImage>
#include <cmath>
#include <random>

#include "logo/LogoImport.h"

namespace {

// Soft shapes and gradients with sensor-like noise, so that no step can take
// a shortcut on flat areas.
const QImage& photo()
{
    static const QImage picture = [] {
        QImage image(4000, 3000, QImage::Format_RGB32);
        std::minstd_rand random(2026);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const double shade = 128 + 70 * std::sin(x / 310.0) * std::cos(y / 270.0) + 40.0 * x / image.width();
                const int noise = static_cast<int>(random() % 41) - 20;
                const int v = std::clamp(static_cast<int>(shade) + noise, 0, 255);
                line[x] = qRgb(std::clamp(v + 25, 0, 255), v, std::clamp(v - 30, 0, 255));
            }
        }
        return image;
    }();
    return picture;
}

LogoImportOptions options(LogoImportMode mode)
{
    LogoImportOptions o;
    o.mode = mode;
    o.dither = LogoDither::FloydSteinberg;  // with the automatic threshold, the dearest choice
    return o;
}

void BM_FirstConversion(benchmark::State& state, LogoImportMode mode)
{
    const QImage& picture = photo();
    for (auto _ : state) {
        LogoImport import(picture);
        benchmark::DoNotOptimize(import.dots(options(mode)));
    }
}
BENCHMARK_CAPTURE(BM_FirstConversion, fit, LogoImportMode::Fit)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FirstConversion, fill, LogoImportMode::Fill)->Unit(benchmark::kMillisecond);

// Each round moves the brightness slider one step, as a drag does.
void BM_OptionChange(benchmark::State& state, LogoDither dither)
{
    LogoImport import(photo());
    LogoImportOptions o = options(LogoImportMode::Fit);
    o.dither = dither;
    import.dots(o);
    int step = 0;
    for (auto _ : state) {
        o.brightness = step++ % 201 - 100;
        benchmark::DoNotOptimize(import.dots(o));
    }
}
BENCHMARK_CAPTURE(BM_OptionChange, threshold, LogoDither::None)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OptionChange, floyd, LogoDither::FloydSteinberg)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OptionChange, bayer8, LogoDither::Bayer8)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
