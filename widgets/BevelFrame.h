// A purely decorative bevelled frame drawn around an area of a window.
#pragma once

#include <QWidget>

enum class BevelStyle { bsLowered, bsRaised, bsNone };

class BevelFrame : public QWidget {
    Q_OBJECT
public:
    explicit BevelFrame(QWidget* parent = nullptr);

    BevelStyle Outer() const { return outer_; }
    void SetOuter(BevelStyle style);
    BevelStyle Inner() const { return inner_; }
    void SetInner(BevelStyle style);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BevelStyle outer_ = BevelStyle::bsLowered;
    BevelStyle inner_ = BevelStyle::bsNone;
    int borderWidth_ = 1;
};
