#include "widgets/RaisedLabel.h"

#include <QPainter>

RaisedLabel::RaisedLabel(QWidget* parent)
    : QWidget(parent)
{ }

void RaisedLabel::setCaption(const QString& caption)
{
    caption_ = caption;
    updateGeometry();
    update();
}

QColor RaisedLabel::textColor() const
{
    return textColor_.isValid() ? textColor_ : palette().color(QPalette::WindowText);
}

void RaisedLabel::setTextColor(const QColor& color)
{
    textColor_ = color;
    update();
}

void RaisedLabel::setHighlightColor(const QColor& color)
{
    highlight_ = color;
    update();
}

void RaisedLabel::setShadowColor(const QColor& color)
{
    shadow_ = color;
    update();
}

QColor RaisedLabel::backgroundColor() const
{
    return color_.isValid() ? color_ : palette().color(QPalette::Window);
}

void RaisedLabel::setBackgroundColor(const QColor& color)
{
    color_ = color;
    update();
}

void RaisedLabel::setAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment;
    update();
}

QSize RaisedLabel::sizeHint() const
{
    return fontMetrics().size(Qt::TextSingleLine, caption_) + QSize(2, 2);
}

void RaisedLabel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), backgroundColor());
    p.setFont(font());
    const QRect r = rect().adjusted(1, 1, -1, -1);
    const int flags = static_cast<int>(alignment_) | Qt::TextSingleLine;
    p.setPen(highlight_);
    p.drawText(r.translated(-1, -1), flags, caption_);
    p.setPen(shadow_);
    p.drawText(r.translated(1, 1), flags, caption_);
    p.setPen(textColor());
    p.drawText(r, flags, caption_);
}
