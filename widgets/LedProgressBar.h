// LED-style progress bar of the transfer windows: a gradient or plain fill
// inside a lowered bevel, either smooth or in blocks.
#pragma once

#include <QColor>
#include <QWidget>

class LedProgressBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(int maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(QColor startColor READ startColor WRITE setStartColor)
    Q_PROPERTY(QColor endColor READ endColor WRITE setEndColor)
    Q_PROPERTY(bool plainColors READ plainColors WRITE setPlainColors)
    Q_PROPERTY(bool smooth READ isSmooth WRITE setSmooth)
    Q_PROPERTY(Qt::Orientation orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(int step READ step WRITE setStep)

public:
    static constexpr int kBevelWidth = 1;
    static constexpr int kBlockGap = 2;

    explicit LedProgressBar(QWidget* parent = nullptr);

    int minimum() const { return minimum_; }
    int maximum() const { return maximum_; }
    int value() const { return value_; }
    QColor startColor() const { return startColor_; }
    QColor endColor() const { return endColor_; }
    // The fill in the palette's highlight colour instead of the gradient.
    bool plainColors() const { return plainColors_; }
    bool isSmooth() const { return smooth_; }
    Qt::Orientation orientation() const { return orientation_; }
    int step() const { return step_; }

    // Taken only while the minimum stays below the maximum.
    void setMinimum(int minimum);
    void setMaximum(int maximum);
    void setStartColor(const QColor& color);
    void setEndColor(const QColor& color);
    void setPlainColors(bool plain);
    void setSmooth(bool smooth);
    void setOrientation(Qt::Orientation orientation);
    void setStep(int step);

    // Percentage filled, 0-100.
    int percent() const;
    // Filled length of an inner length of innerLength pixels.
    int filledLength(int innerLength) const;

    QSize sizeHint() const override { return {200, 16}; }

public slots:
    // Clamped to minimum..maximum.
    void setValue(int value);
    // Moves the value on by step.
    void stepForward() { setValue(value_ + step_); }

signals:
    void valueChanged(int value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 100;
    QColor startColor_{0x00, 0x00, 0x80};
    QColor endColor_{0x00, 0xFF, 0xFF};
    bool plainColors_ = false;
    bool smooth_ = false;
    Qt::Orientation orientation_ = Qt::Horizontal;
    int step_ = 10;
};
