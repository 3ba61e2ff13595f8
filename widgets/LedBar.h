// LED bar: a row of LEDs in up to three palettes, lit in proportion to Position.
#pragma once

#include <QWidget>

#include "widgets/IndicatorPalette.h"

enum class LedStyle { lsRaised, lsLowered, lsNone, lsFlat };

// Lit count for a bar of ledCount LEDs: position clamped to min..max, whole
// percentage of the range, then the whole part of that share of the LEDs.
int VrIndicatorLitCount(int position, int min, int max, int ledCount);

class LedBar : public QWidget {
    Q_OBJECT
public:
    explicit LedBar(QWidget* parent = nullptr);

    IndicatorPalette Palette1{{0x00, 0x80, 0x00}, {0x00, 0xFF, 0x00}}; // green / lime
    IndicatorPalette Palette2{{0x80, 0x80, 0x00}, {0xFF, 0xFF, 0x00}}; // olive / yellow
    IndicatorPalette Palette3{{0x80, 0x00, 0x00}, {0xFF, 0x00, 0x00}}; // maroon / red

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    // Accepted only while Min stays below Max.
    void SetMin(int value);
    void SetMax(int value);
    void SetPosition(int value);

    int LedsLow() const { return ledsLow_; }
    int LedsMedium() const { return ledsMedium_; }
    int LedsHigh() const { return ledsHigh_; }
    void SetLedsLow(int value);
    void SetLedsMedium(int value);
    void SetLedsHigh(int value);
    int LedCount() const { return ledsLow_ + ledsMedium_ + ledsHigh_; }

    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    LedStyle Style() const { return style_; }
    void SetStyle(LedStyle value);
    bool PlainColors() const { return plainColors_; }
    void SetPlainColors(bool value);

    int LitCount() const { return VrIndicatorLitCount(position_, min_, max_, LedCount()); }
    // LED i counted from 1.
    const IndicatorPalette& LedPalette(int i) const;
    QRect LedRect(int i) const;

signals:
    void OnChange(QObject* Sender);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void changed();

    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int ledsLow_ = 3;
    int ledsMedium_ = 2;
    int ledsHigh_ = 2;
    int spacing_ = 2;
    LedStyle style_ = LedStyle::lsRaised;
    bool plainColors_ = false;
};
