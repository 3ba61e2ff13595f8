// LED-style indicator: a small lamp with an optional caption, lit or unlit.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cstdint>

#include "widgets/IndicatorPalette.h"

enum class LedType { ltRounded, ltRectangle, ltLargeRect };

// Where the image and the caption go inside a control: the image and text
// sizes are placed as one block, centred unless margin is 0 or more.
struct ImageTextRects {
    QRect image;
    QRect text;
};
ImageTextRects LayoutImageAndText(const QRect& client, QSize image, QSize text, ImageLayout layout, int margin,
                                  int spacing);

class Led : public QWidget {
    Q_OBJECT
public:
    explicit Led(QWidget* parent = nullptr);

    bool Active() const { return active_; }
    void SetActive(bool active);
    const IndicatorPalette& Palette() const { return palette_; }
    void SetPalette(const IndicatorPalette& palette);
    LedType ledType() const { return ledType_; }
    void SetLedType(LedType type);
    ImageLayout Layout() const { return layout_; }
    void SetLayout(ImageLayout layout);
    int Margin() const { return margin_; }
    void SetMargin(int margin);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // Background of the control; the window colour until set.
    QColor Color() const;
    void SetColor(const QColor& color);

    // Size of the lamp image for the current type.
    QSize ImageSize() const;
    QSize sizeHint() const override;

signals:
    void OnChange(Led* sender);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawLamp(class QPainter& p, const QRect& r) const;

    bool active_ = false;
    IndicatorPalette palette_;
    LedType ledType_ = LedType::ltRounded;
    ImageLayout layout_ = ImageLayout::ImageLeft;
    int margin_ = -1;
    int spacing_ = 5;
    QString caption_;
    QColor color_;
};
