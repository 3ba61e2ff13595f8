// A purely decorative bevelled frame drawn around an area of a window.
#pragma once

#include <QWidget>

enum class TVrBevelStyle { bsLowered, bsRaised, bsNone };

class TVrBorder : public QWidget {
    Q_OBJECT
public:
    explicit TVrBorder(QWidget* parent = nullptr);

    TVrBevelStyle Outer() const { return outer_; }
    void SetOuter(TVrBevelStyle style);
    TVrBevelStyle Inner() const { return inner_; }
    void SetInner(TVrBevelStyle style);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TVrBevelStyle outer_ = TVrBevelStyle::bsLowered;
    TVrBevelStyle inner_ = TVrBevelStyle::bsNone;
    int borderWidth_ = 1;
};
