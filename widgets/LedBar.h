// LED bar: a row of LEDs in up to three palettes, lit in proportion to its value.
#pragma once

#include <QWidget>

#include "widgets/IndicatorPalette.h"

// Lit count for a bar of ledCount LEDs: value clamped to minimum..maximum,
// whole percentage of the range, then the whole part of that share of the LEDs.
int litLedCount(int value, int minimum, int maximum, int ledCount);

class LedBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(int lowLedCount READ lowLedCount WRITE setLowLedCount)
    Q_PROPERTY(int mediumLedCount READ mediumLedCount WRITE setMediumLedCount)
    Q_PROPERTY(int highLedCount READ highLedCount WRITE setHighLedCount)
    Q_PROPERTY(int spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(LedStyle ledStyle READ ledStyle WRITE setLedStyle)
    Q_PROPERTY(bool plainColors READ plainColors WRITE setPlainColors)

public:
    enum class LedStyle { Raised, Lowered, None, Flat };
    Q_ENUM(LedStyle)

    explicit LedBar(QWidget* parent = nullptr);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int value() const { return value_; }
    // Accepted only while the minimum stays below the maximum.
    void setMinimum(int minimum);
    void setMaximum(int maximum);

    // The LEDs in the low (green), medium (yellow) and high (red) palette, in that order.
    int lowLedCount() const { return lowLeds_; }
    int mediumLedCount() const { return mediumLeds_; }
    int highLedCount() const { return highLeds_; }
    void setLowLedCount(int count);
    void setMediumLedCount(int count);
    void setHighLedCount(int count);
    int ledCount() const { return lowLeds_ + mediumLeds_ + highLeds_; }

    int spacing() const { return spacing_; }
    void setSpacing(int spacing);
    LedStyle ledStyle() const { return style_; }
    void setLedStyle(LedStyle style);
    // Every LED in the low palette.
    bool plainColors() const { return plainColors_; }
    void setPlainColors(bool plain);

    int litCount() const { return litLedCount(value_, minimum_, maximum_, ledCount()); }
    // LED i counted from 1.
    const IndicatorPalette& ledPalette(int i) const;
    QRect ledRect(int i) const;

public slots:
    void setValue(int value);

signals:
    void valueChanged(int value);
    // What the bar shows may have changed: its range, value or LEDs.
    void changed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showChange();

    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 0;
    int lowLeds_ = 3;
    int mediumLeds_ = 2;
    int highLeds_ = 2;
    int spacing_ = 2;
    LedStyle style_ = LedStyle::Raised;
    bool plainColors_ = false;
};

using LedStyle = LedBar::LedStyle;
