// Turning any picture into the 84 x 48 logo: "As drawn" keeps the rule for
// bitmaps made for the handset (top-left 84 x 48, exact black is a set dot);
// "Fit" and "Fill" scale the picture to the screen and bring its greys down to
// dots by a threshold or by dithering.
#pragma once

#include <QImage>
#include <QRect>

#include <optional>
#include <vector>

#include "logo/LogoBlocks.h"

enum class LogoImportMode {
    AsDrawn,  // top-left 84 x 48 at one pixel a dot, exact black is set
    Fit,      // the whole picture, scaled to fit and centred
    Fill,     // scaled to cover the screen and centred, the overhang cropped
};

enum class LogoDither { None, FloydSteinberg, Bayer4, Bayer8 };

// "As drawn" uses only invert; the tone settings apply to "Fit" and "Fill".
struct LogoImportOptions {
    LogoImportMode mode = LogoImportMode::AsDrawn;
    // A dot is set where the grey is below the threshold (0..255), which
    // ordered dithering takes as the grey that becomes half the dots; black
    // always gives a dot and white never. Empty chooses it from the picture
    // by Otsu's method, except that ordered dithering keeps the picture's
    // own tone (128).
    std::optional<int> threshold;
    LogoDither dither = LogoDither::None;
    bool invert = false;
    int brightness = 0;  // -100..100, added before the threshold
    int contrast = 0;    // -100..100, stretches the greys about the middle

    static constexpr int kDefaultThreshold = 128;
    friend bool operator==(const LogoImportOptions&, const LogoImportOptions&) = default;
};

// Converts one picture under changing options. The picture is scaled down once
// per mode and its grey copy kept, so an option change redoes only the work
// on 84 x 48 greys. Not for use from two threads at once.
class LogoImport {
public:
    LogoImport() = default;
    explicit LogoImport(const QImage& picture) { setPicture(picture); }

    // Transparent parts count as white. A null picture gives clear dots.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }

    LogoDots dots(const LogoImportOptions& options) const;
    // The threshold dots() uses: the chosen one, or the automatic one for
    // this picture, mode, brightness and contrast (for showing on a slider).
    int threshold(const LogoImportOptions& options) const;
    // Where the scaled picture lands on the 84 x 48 screen in this mode.
    QRect placement(LogoImportMode mode) const;

private:
    struct Greys {
        QRect area;                       // on the screen
        std::vector<std::uint8_t> level;  // area.width() x area.height(), row-major
    };
    const Greys& greys(LogoImportMode mode) const;

    QImage picture_;
    mutable std::optional<Greys> fit_;
    mutable std::optional<Greys> fill_;
    mutable std::optional<LogoDots> asDrawn_;
};

// The whole conversion in one call, for a single use such as the command line.
LogoDots logoImportDots(const QImage& picture, const LogoImportOptions& options);

// Otsu's choice for these greys: the threshold that best splits them into a
// dark and a light class. One level alone gives the middle, 128.
int otsuThreshold(const std::vector<std::uint8_t>& levels);
