// LED-style indicator: a small lamp with an optional caption, lit or unlit.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>

#include "widgets/IndicatorPalette.h"

class Led : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool active READ isActive WRITE setActive NOTIFY toggled)
    Q_PROPERTY(IndicatorPalette indicatorPalette READ indicatorPalette WRITE setIndicatorPalette)
    Q_PROPERTY(LedType ledType READ ledType WRITE setLedType)
    Q_PROPERTY(ImageLayout imageLayout READ imageLayout WRITE setImageLayout)
    Q_PROPERTY(int margin READ margin WRITE setMargin)
    Q_PROPERTY(int spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)

public:
    enum class LedType { Rounded, Rectangle, LargeRect };
    Q_ENUM(LedType)
    // Where the lamp goes beside the caption; the LED check box shares it.
    enum class ImageLayout { Left, Right, Top, Bottom };
    Q_ENUM(ImageLayout)

    explicit Led(QWidget* parent = nullptr);

    bool isActive() const { return active_; }
    const IndicatorPalette& indicatorPalette() const { return palette_; }
    void setIndicatorPalette(const IndicatorPalette& palette);
    LedType ledType() const { return ledType_; }
    void setLedType(LedType type);
    ImageLayout imageLayout() const { return layout_; }
    void setImageLayout(ImageLayout layout);
    // -1 centres lamp and caption; 0 or more is the lamp's distance from its side.
    int margin() const { return margin_; }
    void setMargin(int margin);
    int spacing() const { return spacing_; }
    void setSpacing(int spacing);
    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption);
    // The window colour until set.
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor& color);

    // Size of the lamp image for the current type.
    QSize imageSize() const;
    QSize sizeHint() const override;

public slots:
    // A new state repaints and emits toggled; the same state does nothing.
    void setActive(bool active);
    void toggle() { setActive(!active_); }
    void on() { setActive(true); }
    void off() { setActive(false); }

signals:
    void toggled(bool active);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawLamp(class QPainter& p, const QRect& r) const;

    bool active_ = false;
    IndicatorPalette palette_;
    LedType ledType_ = LedType::Rounded;
    ImageLayout layout_ = ImageLayout::Left;
    int margin_ = -1;
    int spacing_ = 5;
    QString caption_;
    QColor color_;
};

using LedType = Led::LedType;
using ImageLayout = Led::ImageLayout;

// Where the image and the caption go inside a control: the image and text
// sizes are placed as one block, centred unless margin is 0 or more.
struct ImageTextRects {
    QRect image;
    QRect text;
};
ImageTextRects layoutImageAndText(const QRect& client, QSize image, QSize text, ImageLayout layout, int margin,
                                  int spacing);
