// Check box drawn as an LED beside its caption.
#pragma once

#include <QWidget>

#include "widgets/IndicatorPalette.h"
#include "widgets/Led.h"

class CheckLed : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool checked READ isChecked WRITE setChecked NOTIFY toggled)
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(IndicatorPalette indicatorPalette READ indicatorPalette WRITE setIndicatorPalette)
    Q_PROPERTY(Led::ImageLayout imageLayout READ imageLayout WRITE setImageLayout)
    Q_PROPERTY(int margin READ margin WRITE setMargin)
    Q_PROPERTY(int spacing READ spacing WRITE setSpacing)
    Q_PROPERTY(QSize checkSize READ checkSize WRITE setCheckSize)

public:
    explicit CheckLed(QWidget* parent = nullptr);

    bool isChecked() const { return checked_; }
    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    IndicatorPalette indicatorPalette() const { return palette_; }
    void setIndicatorPalette(const IndicatorPalette& palette);
    ImageLayout imageLayout() const { return layout_; }
    void setImageLayout(ImageLayout layout);
    int margin() const { return margin_; } // -1 centres image and caption
    void setMargin(int margin);
    int spacing() const { return spacing_; }
    void setSpacing(int spacing);
    QSize checkSize() const { return checkSize_; }
    void setCheckSize(QSize size);

    // Where the LED image sits in the control; presses count only there.
    QRect checkRect() const;
    QSize sizeHint() const override { return QSize(125, 25); }

public slots:
    // A new value repaints and emits toggled; the same value does nothing.
    void setChecked(bool checked);
    void toggle() { setChecked(!checked_); }

signals:
    // A click emits it on the release, once the press inside counts.
    void toggled(bool checked);

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
    ImageLayout layout_ = ImageLayout::Left;
    int margin_ = -1;
    int spacing_ = 5;
    QSize checkSize_{20, 13};
};
