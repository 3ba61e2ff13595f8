// LED-style progress bar of the transfer windows: a gradient or plain fill
// inside a lowered bevel, either smooth or in blocks.
#pragma once

#include <QColor>
#include <QWidget>

class LedProgressBar : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
    Q_PROPERTY(QColor StartColor READ StartColor WRITE setStartColor)
    Q_PROPERTY(QColor EndColor READ EndColor WRITE setEndColor)
    Q_PROPERTY(bool PlainColors READ PlainColors WRITE setPlainColors)
    Q_PROPERTY(bool Smooth READ Smooth WRITE setSmooth)
    Q_PROPERTY(BarOrientation Orientation READ Orientation WRITE setOrientation)
    Q_PROPERTY(int Step READ Step WRITE setStep)

public:
    enum BarOrientation { voVertical, voHorizontal };
    Q_ENUM(BarOrientation)

    static constexpr int BevelWidth = 1;
    static constexpr int BlockGap = 2;

    explicit LedProgressBar(QWidget* parent = nullptr);

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    QColor StartColor() const { return startColor_; }
    QColor EndColor() const { return endColor_; }
    bool PlainColors() const { return plainColors_; }
    bool Smooth() const { return smooth_; }
    BarOrientation Orientation() const { return orientation_; }
    int Step() const { return step_; }

    // Min and Max are taken only while Min stays below Max.
    void setMin(int value);
    void setMax(int value);
    // Clamped to Min..Max.
    void setPosition(int value);
    void setStartColor(const QColor& color);
    void setEndColor(const QColor& color);
    void setPlainColors(bool on);
    void setSmooth(bool on);
    void setOrientation(BarOrientation orientation);
    void setStep(int value);
    // Moves the position on by Step.
    void StepIt();

    // Percentage filled, 0-100.
    int Percent() const;
    // Filled length of an inner length of innerLength pixels.
    int FilledLength(int innerLength) const;

    QSize sizeHint() const override { return {200, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 100;
    QColor startColor_{0x00, 0x00, 0x80};
    QColor endColor_{0x00, 0xFF, 0xFF};
    bool plainColors_ = false;
    bool smooth_ = false;
    BarOrientation orientation_ = voHorizontal;
    int step_ = 10;
};
