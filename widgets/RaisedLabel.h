// A caption drawn with raised lettering: a light edge above-left and a
// shadow below-right of the text.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class RaisedLabel : public QWidget {
    Q_OBJECT
public:
    explicit RaisedLabel(QWidget* parent = nullptr);

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    // Text colour; the window text colour until set.
    QColor FontColor() const;
    void SetFontColor(const QColor& color);
    QColor HighlightColor() const { return highlight_; }
    void SetHighlightColor(const QColor& color);
    QColor ShadowColor() const { return shadow_; }
    void SetShadowColor(const QColor& color);
    // Background; the window colour until set.
    QColor Color() const;
    void SetColor(const QColor& color);
    Qt::Alignment Alignment() const { return alignment_; }
    void SetAlignment(Qt::Alignment alignment);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
    QColor fontColor_;
    QColor highlight_ = Qt::white;
    QColor shadow_ = Qt::gray;
    QColor color_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};
