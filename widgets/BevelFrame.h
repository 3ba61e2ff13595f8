// A purely decorative bevelled frame drawn around an area of a window.
#pragma once

#include <QWidget>

class BevelFrame : public QWidget {
    Q_OBJECT
    Q_PROPERTY(BevelStyle outer READ outer WRITE setOuter)
    Q_PROPERTY(BevelStyle inner READ inner WRITE setInner)
    Q_PROPERTY(int borderWidth READ borderWidth WRITE setBorderWidth)

public:
    enum class BevelStyle { Lowered, Raised, None };
    Q_ENUM(BevelStyle)

    explicit BevelFrame(QWidget* parent = nullptr);

    BevelStyle outer() const { return outer_; }
    void setOuter(BevelStyle style);
    BevelStyle inner() const { return inner_; }
    void setInner(BevelStyle style);
    int borderWidth() const { return borderWidth_; }
    void setBorderWidth(int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BevelStyle outer_ = BevelStyle::Lowered;
    BevelStyle inner_ = BevelStyle::None;
    int borderWidth_ = 1;
};

using BevelStyle = BevelFrame::BevelStyle;
