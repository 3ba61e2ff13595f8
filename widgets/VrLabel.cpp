#include "widgets/VrLabel.h"

#include <QPainter>

TVrLabel::TVrLabel(QWidget* parent)
    : QWidget(parent)
{
}

void TVrLabel::SetCaption(const QString& caption)
{
    caption_ = caption;
    updateGeometry();
    update();
}

QColor TVrLabel::FontColor() const
{
    return fontColor_.isValid() ? fontColor_ : palette().color(QPalette::WindowText);
}

void TVrLabel::SetFontColor(const QColor& color)
{
    fontColor_ = color;
    update();
}

void TVrLabel::SetHighlightColor(const QColor& color)
{
    highlight_ = color;
    update();
}

void TVrLabel::SetShadowColor(const QColor& color)
{
    shadow_ = color;
    update();
}

QColor TVrLabel::Color() const
{
    return color_.isValid() ? color_ : palette().color(QPalette::Window);
}

void TVrLabel::SetColor(const QColor& color)
{
    color_ = color;
    update();
}

void TVrLabel::SetAlignment(Qt::Alignment alignment)
{
    alignment_ = alignment;
    update();
}

QSize TVrLabel::sizeHint() const
{
    return fontMetrics().size(Qt::TextSingleLine, caption_) + QSize(2, 2);
}

void TVrLabel::paintEvent(QPaintEvent*)
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
