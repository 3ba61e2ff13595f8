#include "widgets/RaisedLabel.h"

#include <QAccessibleWidget>
#include <QPainter>

#include "widgets/Accessibility.h"

namespace {

class RaisedLabelAccessible : public QAccessibleWidget {
public:
    explicit RaisedLabelAccessible(RaisedLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    { }

    QString text(QAccessible::Text t) const override
    {
        const QString text = QAccessibleWidget::text(t);
        return t == QAccessible::Name && text.isEmpty() ? static_cast<RaisedLabel*>(widget())->caption() : text;
    }
};

} // namespace

RaisedLabel::RaisedLabel(QWidget* parent)
    : QWidget(parent)
{
    installAccessibleInterface<RaisedLabel, RaisedLabelAccessible>();
}

void RaisedLabel::setCaption(const QString& caption)
{
    caption_ = caption;
    updateGeometry();
    update();
    notifyAccessible(this, QAccessible::NameChanged);
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
