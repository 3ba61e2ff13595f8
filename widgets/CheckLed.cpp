#include "widgets/CheckLed.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/Accessibility.h"

namespace {

// A check box to a screen reader: its caption, whether it is checked, and a toggle action.
class CheckLedAccessible : public QAccessibleWidget {
public:
    explicit CheckLedAccessible(CheckLed* led)
        : QAccessibleWidget(led, QAccessible::CheckBox)
    { }

    QString text(QAccessible::Text t) const override
    {
        const QString text = QAccessibleWidget::text(t);
        return t == QAccessible::Name && text.isEmpty() ? led()->caption() : text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = led()->isChecked();
        return s;
    }

    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << toggleAction(); }

    void doAction(const QString& action) override
    {
        if (action == toggleAction())
            led()->toggle();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    CheckLed* led() const { return static_cast<CheckLed*>(widget()); }
};

void notifyChecked(CheckLed* led)
{
    QAccessible::State changed;
    changed.checked = true;
    notifyAccessibleState(led, changed);
}

} // namespace

CheckLed::CheckLed(QWidget* parent)
    : QWidget(parent)
{
    installAccessibleInterface<CheckLed, CheckLedAccessible>();
    // Not a tab stop, but a click gives it the focus so that space toggles it.
    setFocusPolicy(Qt::ClickFocus);
    resize(125, 25);
}

void CheckLed::setChecked(bool checked)
{
    if (checked == checked_)
        return;
    checked_ = checked;
    update();
    notifyChecked(this);
    emit toggled(checked_);
}

void CheckLed::setCaption(const QString& caption)
{
    caption_ = caption;
    update();
    notifyAccessible(this, QAccessible::NameChanged);
}

void CheckLed::setIndicatorPalette(const IndicatorPalette& palette)
{
    palette_ = palette;
    update();
}

void CheckLed::setImageLayout(ImageLayout layout)
{
    layout_ = layout;
    update();
}

void CheckLed::setMargin(int margin)
{
    margin_ = margin;
    update();
}

void CheckLed::setSpacing(int spacing)
{
    spacing_ = spacing;
    update();
}

void CheckLed::setCheckSize(QSize size)
{
    checkSize_ = size;
    update();
}

QRect CheckLed::checkRect() const
{
    const int checkWidth = checkSize_.width();
    const int checkHeight = checkSize_.height();
    const QSize text = fontMetrics().size(Qt::TextSingleLine, caption_);
    const bool horizontal = layout_ == ImageLayout::Left || layout_ == ImageLayout::Right;
    const int gap = caption_.isEmpty() ? 0 : spacing_;
    if (horizontal) {
        const int total = checkWidth + gap + text.width();
        const int lead = margin_ < 0 ? (width() - total) / 2 : margin_;
        const int x = layout_ == ImageLayout::Left ? lead : width() - lead - checkWidth;
        return QRect(x, (height() - checkHeight) / 2, checkWidth, checkHeight);
    }
    const int total = checkHeight + gap + text.height();
    const int lead = margin_ < 0 ? (height() - total) / 2 : margin_;
    const int y = layout_ == ImageLayout::Top ? lead : height() - lead - checkHeight;
    return QRect((width() - checkWidth) / 2, y, checkWidth, checkHeight);
}

QRect CheckLed::captionRect() const
{
    const QRect image = checkRect();
    const int gap = caption_.isEmpty() ? 0 : spacing_;
    switch (layout_) {
    case ImageLayout::Left:
        return QRect(image.right() + 1 + gap, 0, width() - image.right() - 1 - gap, height());
    case ImageLayout::Right:
        return QRect(0, 0, image.left() - gap, height());
    case ImageLayout::Top:
        return QRect(0, image.bottom() + 1 + gap, width(), height() - image.bottom() - 1 - gap);
    case ImageLayout::Bottom:
        return QRect(0, 0, width(), image.top() - gap);
    }
    return rect();
}

void CheckLed::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect image = checkRect();
    painter.fillRect(image, checked_ ? palette_.lit : palette_.unlit);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawLine(image.topLeft(), image.topRight());
    painter.drawLine(image.topLeft(), image.bottomLeft());
    painter.setPen(Qt::white);
    painter.drawLine(image.bottomLeft(), image.bottomRight());
    painter.drawLine(image.topRight(), image.bottomRight());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const bool horizontal = layout_ == ImageLayout::Left || layout_ == ImageLayout::Right;
    const Qt::Alignment align =
        horizontal ? (layout_ == ImageLayout::Left ? Qt::AlignLeft : Qt::AlignRight) : Qt::AlignHCenter;
    painter.drawText(captionRect(), int(align | Qt::AlignVCenter | Qt::TextSingleLine), caption_);
}

void CheckLed::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !checkRect().contains(event->position().toPoint())) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressed_ = true;
    stateBeforePress_ = checked_;
    checked_ = !checked_;
    update();
}

void CheckLed::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressed_) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    pressed_ = false;
    if (checkRect().contains(event->position().toPoint())) {
        notifyChecked(this);
        emit toggled(checked_);
    } else {
        checked_ = stateBeforePress_;
        update();
    }
}

void CheckLed::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        setChecked(!checked_);
        return;
    }
    QWidget::keyPressEvent(event);
}
