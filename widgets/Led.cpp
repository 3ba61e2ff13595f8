#include "widgets/Led.h"

#include <QAccessibleWidget>
#include <QPainter>

#include "widgets/Accessibility.h"

namespace {

// Says what the LED shows (its accessible name, else its caption) and whether
// it is on, as a check box the user cannot change: screen readers announce
// that role with its state, where an indicator is read as "unknown".
class LedAccessible : public QAccessibleWidget {
public:
    explicit LedAccessible(Led* led)
        : QAccessibleWidget(led, QAccessible::CheckBox)
    { }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            const QString name = QAccessibleWidget::text(t);
            return name.isEmpty() ? led()->caption() : name;
        }
        if (t == QAccessible::Description)
            return led()->isActive() ? Led::tr("On") : Led::tr("Off");
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = led()->isActive();
        s.readOnly = true;
        return s;
    }

private:
    Led* led() const { return static_cast<Led*>(widget()); }
};

} // namespace

ImageTextRects layoutImageAndText(const QRect& client, QSize image, QSize text, ImageLayout layout, int margin,
                                  int spacing)
{
    const bool horizontal = layout == ImageLayout::Left || layout == ImageLayout::Right;
    if (text.isEmpty())
        spacing = 0;
    const int extent = horizontal ? client.width() : client.height();
    const int block = (horizontal ? image.width() + text.width() : image.height() + text.height()) + spacing;
    // The offset is measured from the side the image sits on.
    const int start = margin < 0 ? (extent - block) / 2 : margin;
    const int imageLen = horizontal ? image.width() : image.height();
    const int textLen = horizontal ? text.width() : text.height();
    const bool imageFirst = layout == ImageLayout::Left || layout == ImageLayout::Top;
    int imagePos = imageFirst ? start : extent - start - imageLen;
    int textPos = imageFirst ? start + imageLen + spacing : extent - start - imageLen - spacing - textLen;
    ImageTextRects r;
    if (horizontal) {
        r.image = QRect(client.left() + imagePos, client.top() + (client.height() - image.height()) / 2, image.width(),
                        image.height());
        r.text = QRect(client.left() + textPos, client.top() + (client.height() - text.height()) / 2, text.width(),
                       text.height());
    } else {
        r.image = QRect(client.left() + (client.width() - image.width()) / 2, client.top() + imagePos, image.width(),
                        image.height());
        r.text = QRect(client.left() + (client.width() - text.width()) / 2, client.top() + textPos, text.width(),
                       text.height());
    }
    return r;
}

Led::Led(QWidget* parent)
    : QWidget(parent)
{
    installAccessibleInterface<Led, LedAccessible>();
}

void Led::setActive(bool active)
{
    if (active == active_)
        return;
    active_ = active;
    update();
    QAccessible::State changed;
    changed.checked = true;
    notifyAccessibleState(this, changed);
    notifyAccessible(this, QAccessible::DescriptionChanged);
    emit toggled(active_);
}

void Led::setIndicatorPalette(const IndicatorPalette& palette)
{
    if (palette == palette_)
        return;
    palette_ = palette;
    update();
}

void Led::setLedType(LedType type)
{
    ledType_ = type;
    updateGeometry();
    update();
}

void Led::setImageLayout(ImageLayout layout)
{
    layout_ = layout;
    update();
}

void Led::setMargin(int margin)
{
    margin_ = margin;
    update();
}

void Led::setSpacing(int spacing)
{
    spacing_ = spacing;
    update();
}

void Led::setCaption(const QString& caption)
{
    caption_ = caption;
    updateGeometry();
    update();
    notifyAccessible(this, QAccessible::NameChanged);
}

QColor Led::backgroundColor() const
{
    return color_.isValid() ? color_ : palette().color(QPalette::Window);
}

void Led::setBackgroundColor(const QColor& color)
{
    color_ = color;
    update();
}

QSize Led::imageSize() const
{
    switch (ledType_) {
    case LedType::Rounded:
        return {13, 13};
    case LedType::Rectangle:
        return {13, 9};
    case LedType::LargeRect:
        return {20, 13};
    }
    return {13, 13};
}

QSize Led::sizeHint() const
{
    const QSize image = imageSize();
    if (caption_.isEmpty())
        return image + QSize(4, 4);
    const QSize text = fontMetrics().size(Qt::TextSingleLine, caption_);
    return {image.width() + spacing_ + text.width() + 4, std::max(image.height(), text.height()) + 4};
}

void Led::drawLamp(QPainter& p, const QRect& r) const
{
    const QColor lamp = active_ ? palette_.lit : palette_.unlit;
    // A darker rim and a small highlight make the two states tell apart even
    // where the palette colours are close.
    p.setPen(lamp.darker(170));
    p.setBrush(lamp);
    const QRect body = r.adjusted(0, 0, -1, -1);
    if (ledType_ == LedType::Rounded)
        p.drawEllipse(body);
    else
        p.drawRect(body);
    if (active_) {
        p.setPen(Qt::NoPen);
        p.setBrush(lamp.lighter(140));
        const QRect shine(r.left() + 2, r.top() + 2, std::max(2, r.width() / 3), std::max(2, r.height() / 3));
        if (ledType_ == LedType::Rounded)
            p.drawEllipse(shine);
        else
            p.drawRect(shine);
    }
}

void Led::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), backgroundColor());
    p.setRenderHint(QPainter::Antialiasing, ledType_ == LedType::Rounded);
    const QSize text = caption_.isEmpty() ? QSize() : fontMetrics().size(Qt::TextSingleLine, caption_);
    const auto r = layoutImageAndText(rect(), imageSize(), text, layout_, margin_, spacing_);
    drawLamp(p, r.image);
    if (!caption_.isEmpty()) {
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        p.setFont(font());
        p.drawText(r.text, Qt::AlignCenter | Qt::TextSingleLine, caption_);
    }
}
