#include "widgets/CheckLed.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

CheckLed::CheckLed(QWidget* parent)
    : QWidget(parent)
{
    // Not a tab stop, but a click gives it the focus so that space toggles it.
    setFocusPolicy(Qt::ClickFocus);
    resize(125, 25);
}

void CheckLed::SetChecked(bool value)
{
    if (value == checked_)
        return;
    checked_ = value;
    update();
    emit OnChange(this);
}

void CheckLed::SetCaption(const QString& value)
{
    caption_ = value;
    update();
}

void CheckLed::SetPalette(const IndicatorPalette& value)
{
    palette_ = value;
    update();
}

void CheckLed::SetLayout(ImageLayout value)
{
    layout_ = value;
    update();
}

void CheckLed::SetMargin(int value)
{
    margin_ = value;
    update();
}

void CheckLed::SetSpacing(int value)
{
    spacing_ = value;
    update();
}

void CheckLed::SetCheckSize(int width, int height)
{
    checkWidth_ = width;
    checkHeight_ = height;
    update();
}

QRect CheckLed::CheckRect() const
{
    const QSize text = fontMetrics().size(Qt::TextSingleLine, caption_);
    const bool horizontal = layout_ == ImageLayout::ImageLeft || layout_ == ImageLayout::ImageRight;
    const int gap = caption_.isEmpty() ? 0 : spacing_;
    if (horizontal) {
        const int total = checkWidth_ + gap + text.width();
        const int lead = margin_ < 0 ? (width() - total) / 2 : margin_;
        const int x = layout_ == ImageLayout::ImageLeft ? lead : width() - lead - checkWidth_;
        return QRect(x, (height() - checkHeight_) / 2, checkWidth_, checkHeight_);
    }
    const int total = checkHeight_ + gap + text.height();
    const int lead = margin_ < 0 ? (height() - total) / 2 : margin_;
    const int y = layout_ == ImageLayout::ImageTop ? lead : height() - lead - checkHeight_;
    return QRect((width() - checkWidth_) / 2, y, checkWidth_, checkHeight_);
}

QRect CheckLed::captionRect() const
{
    const QRect image = CheckRect();
    const int gap = caption_.isEmpty() ? 0 : spacing_;
    switch (layout_) {
    case ImageLayout::ImageLeft:
        return QRect(image.right() + 1 + gap, 0, width() - image.right() - 1 - gap, height());
    case ImageLayout::ImageRight:
        return QRect(0, 0, image.left() - gap, height());
    case ImageLayout::ImageTop:
        return QRect(0, image.bottom() + 1 + gap, width(), height() - image.bottom() - 1 - gap);
    case ImageLayout::ImageBottom:
        return QRect(0, 0, width(), image.top() - gap);
    }
    return rect();
}

void CheckLed::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect image = CheckRect();
    painter.fillRect(image, checked_ ? palette_.High : palette_.Low);
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawLine(image.topLeft(), image.topRight());
    painter.drawLine(image.topLeft(), image.bottomLeft());
    painter.setPen(Qt::white);
    painter.drawLine(image.bottomLeft(), image.bottomRight());
    painter.drawLine(image.topRight(), image.bottomRight());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    const bool horizontal = layout_ == ImageLayout::ImageLeft || layout_ == ImageLayout::ImageRight;
    const Qt::Alignment align =
        horizontal ? (layout_ == ImageLayout::ImageLeft ? Qt::AlignLeft : Qt::AlignRight) : Qt::AlignHCenter;
    painter.drawText(captionRect(), int(align | Qt::AlignVCenter | Qt::TextSingleLine), caption_);
}

void CheckLed::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !CheckRect().contains(event->position().toPoint())) {
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
    if (CheckRect().contains(event->position().toPoint())) {
        emit OnChange(this);
    } else {
        checked_ = stateBeforePress_;
        update();
    }
}

void CheckLed::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        SetChecked(!checked_);
        return;
    }
    QWidget::keyPressEvent(event);
}
