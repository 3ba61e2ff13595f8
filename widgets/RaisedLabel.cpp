#include "widgets/RaisedLabel.h"

#include <QPainter>

RaisedLabel::RaisedLabel(QWidget* parent)
    : QWidget(parent)
{ }

void RaisedLabel::SetCaption(const QString& caption)
{
    caption_ = caption;
    updateGeometry();
    update();
}

QColor RaisedLabel::FontColor() const
{
    return fontColor_.isValid() ? fontColor_ : palette().color(QPalette::WindowText);
}

void RaisedLabel::SetFontColor(const QColor& color)
{
    fontColor_ = color;
    update();
}

void RaisedLabel::SetHighlightColor(const QColor& color)
{
    highlight_ = color;
    update();
}

void RaisedLabel::SetShadowColor(const QColor& color)
{
    shadow_ = color;
    update();
}

QColor RaisedLabel::Color() const
{
    return color_.isValid() ? color_ : palette().color(QPalette::Window);
}

void RaisedLabel::SetColor(const QColor& color)
{
    color_ = color;
    update();
}

void RaisedLabel::SetAlignment(Qt::Alignment alignment)
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
    p.fillRect(rect(), Color());
    p.setFont(font());
    const QRect r = rect().adjusted(1, 1, -1, -1);
    const int flags = static_cast<int>(alignment_) | Qt::TextSingleLine;
    p.setPen(highlight_);
    p.drawText(r.translated(-1, -1), flags, caption_);
    p.setPen(shadow_);
    p.drawText(r.translated(1, 1), flags, caption_);
    p.setPen(FontColor());
    p.drawText(r, flags, caption_);
}
