// A caption drawn with raised lettering: a light edge above-left and a
// shadow below-right of the text.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class RaisedLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
    Q_PROPERTY(QColor highlightColor READ highlightColor WRITE setHighlightColor)
    Q_PROPERTY(QColor shadowColor READ shadowColor WRITE setShadowColor)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)
    Q_PROPERTY(Qt::Alignment alignment READ alignment WRITE setAlignment)

public:
    explicit RaisedLabel(QWidget* parent = nullptr);

    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption);
    // The window text colour until set.
    QColor textColor() const;
    void setTextColor(const QColor& color);
    QColor highlightColor() const { return highlight_; }
    void setHighlightColor(const QColor& color);
    QColor shadowColor() const { return shadow_; }
    void setShadowColor(const QColor& color);
    // The window colour until set.
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor& color);
    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QColor textColor_;
    QColor highlight_ = Qt::white;
    QColor shadow_ = Qt::gray;
    QColor color_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};
