// Check box drawn as an LED beside its caption.
#pragma once

#include <QWidget>

#include "widgets/IndicatorPalette.h"

class CheckLed : public QWidget {
    Q_OBJECT
public:
    explicit CheckLed(QWidget* parent = nullptr);

    bool Checked() const { return checked_; }
    // A new value repaints and raises OnChange.
    void SetChecked(bool value);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& value);
    IndicatorPalette Palette() const { return palette_; }
    void SetPalette(const IndicatorPalette& value);
    ImageLayout Layout() const { return layout_; }
    void SetLayout(ImageLayout value);
    int Margin() const { return margin_; } // -1 centres image and caption
    void SetMargin(int value);
    int Spacing() const { return spacing_; }
    void SetSpacing(int value);
    int CheckWidth() const { return checkWidth_; }
    int CheckHeight() const { return checkHeight_; }
    void SetCheckSize(int width, int height);

    // Where the LED image sits in the control; presses count only there.
    QRect CheckRect() const;
    QSize sizeHint() const override { return QSize(125, 25); }

signals:
    void OnChange(QObject* Sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QRect captionRect() const;

    bool checked_ = false;
    bool pressed_ = false;
    bool stateBeforePress_ = false;
    QString caption_;
    IndicatorPalette palette_;
    ImageLayout layout_ = ImageLayout::ImageLeft;
    int margin_ = -1;
    int spacing_ = 5;
    int checkWidth_ = 20;
    int checkHeight_ = 13;
};
