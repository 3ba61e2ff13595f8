#include "widgets/VrBorder.h"

#include <QPainter>

#include <algorithm>

namespace {

// One bevel ring of the given width; returns the rectangle inside it.
QRect DrawBevel(QPainter& p, QRect r, TVrBevelStyle style, int width, const QPalette& pal)
{
    if (style == TVrBevelStyle::bsNone)
        return r;
    const QColor light = pal.color(QPalette::Light);
    const QColor dark = pal.color(QPalette::Dark);
    const QColor& topLeft = style == TVrBevelStyle::bsRaised ? light : dark;
    const QColor& bottomRight = style == TVrBevelStyle::bsRaised ? dark : light;
    for (int i = 0; i < width && r.width() > 1 && r.height() > 1; ++i) {
        p.setPen(topLeft);
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
    }
    return r;
}

} // namespace

TVrBorder::TVrBorder(QWidget* parent)
    : QWidget(parent)
{
    // A frame over other controls must not take their clicks.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TVrBorder::SetOuter(TVrBevelStyle style)
{
    outer_ = style;
    update();
}

void TVrBorder::SetInner(TVrBevelStyle style)
{
    inner_ = style;
    update();
}

void TVrBorder::SetBorderWidth(int width)
{
    borderWidth_ = std::max(0, width);
    update();
}

void TVrBorder::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect inside = DrawBevel(p, rect(), outer_, borderWidth_, palette());
    DrawBevel(p, inside, inner_, borderWidth_, palette());
}
