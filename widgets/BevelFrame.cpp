#include "widgets/BevelFrame.h"

#include <QAccessibleWidget>
#include <QPainter>

#include <algorithm>

#include "widgets/Accessibility.h"

namespace {

// A decoration around controls: to a screen reader, the grouping of what it
// frames, named by the window (a border would be read as a window frame).
class BevelFrameAccessible : public QAccessibleWidget {
public:
    explicit BevelFrameAccessible(BevelFrame* frame)
        : QAccessibleWidget(frame, QAccessible::Grouping)
    { }
};

// One bevel ring of the given width; returns the rectangle inside it.
QRect drawBevel(QPainter& p, QRect r, BevelStyle style, int width, const QPalette& pal)
{
    if (style == BevelStyle::None)
        return r;
    const QColor light = pal.color(QPalette::Light);
    const QColor dark = pal.color(QPalette::Dark);
    const QColor& topLeft = style == BevelStyle::Raised ? light : dark;
    const QColor& bottomRight = style == BevelStyle::Raised ? dark : light;
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

BevelFrame::BevelFrame(QWidget* parent)
    : QWidget(parent)
{
    installAccessibleInterface<BevelFrame, BevelFrameAccessible>();
    // A frame over other controls must not take their clicks.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BevelFrame::setOuter(BevelStyle style)
{
    outer_ = style;
    update();
}

void BevelFrame::setInner(BevelStyle style)
{
    inner_ = style;
    update();
}

void BevelFrame::setBorderWidth(int width)
{
    borderWidth_ = std::max(0, width);
    update();
}

void BevelFrame::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect inside = drawBevel(p, rect(), outer_, borderWidth_, palette());
    drawBevel(p, inside, inner_, borderWidth_, palette());
}
