#include "widgets/TextFit.h"

#include <QFontMetrics>

#include <algorithm>
#include <QLabel>

#include "widgets/RaisedLabel.h"

namespace {

void widen(QWidget& widget, int wanted, bool centred)
{
    const int extra = wanted - widget.width();
    if (extra <= 0)
        return;
    const int left = centred ? widget.x() - (extra + 1) / 2 : widget.x();
    widget.setGeometry(left, widget.y(), wanted, widget.height());
}

int chromeWidth(const QLabel& label)
{
    return 2 * (label.frameWidth() + label.margin()) + label.indent() * (label.indent() > 0);
}

} // namespace

void fitLabelToText(QLabel& label)
{
    // The frame and margin belong to the text's box as well.
    const int chrome = chromeWidth(label);
    const int text = label.fontMetrics().size(0, label.text()).width();
    widen(label, text + chrome, label.alignment() & Qt::AlignHCenter);
}

void fitLabelToText(RaisedLabel& label)
{
    // A pixel of inset on each side, and the highlight and shadow drawn a
    // pixel to either side of the text.
    const int text = label.fontMetrics().horizontalAdvance(label.caption());
    widen(label, text + 4, label.alignment() & Qt::AlignHCenter);
}

void narrowLabelToEndBefore(QLabel& label, int limit)
{
    constexpr int gap = 3;
    constexpr int narrowest = 70; // percent; narrower becomes hard to read
    const int room = limit - gap - label.x() - chromeWidth(label);
    QFont font = label.font();
    // Every stretch tried loads a font of its own, which is slow: start from
    // the proportional guess and walk to the widest stretch that fits.
    const auto widthAt = [&font, &label](int stretch) {
        font.setStretch(stretch);
        return QFontMetrics(font).size(0, label.text()).width();
    };
    const int full = widthAt(100);
    int stretch = 100;
    if (full > room) {
        stretch = std::clamp(100 * std::max(room, 0) / full, narrowest, 99);
        while (stretch < 99 && widthAt(stretch + 1) <= room)
            ++stretch;
        while (stretch > narrowest && widthAt(stretch) > room)
            --stretch;
    }
    font.setStretch(stretch);
    label.setFont(font);
    label.setGeometry(label.x(), label.y(), limit - gap - label.x(), label.height());
}

void shrinkFontToFitBox(QLabel& label, int designPixelSize)
{
    constexpr int smallest = 8;
    // A pixel to spare on each side for an italic's overhang.
    const QSize box = label.contentsRect().size() - QSize(2, 0);
    QFont font = label.font();
    for (int size = designPixelSize; size >= smallest; --size) {
        font.setPixelSize(size);
        const QSize text = QFontMetrics(font).size(0, label.text());
        if (text.width() <= box.width() && text.height() <= box.height())
            break;
    }
    label.setFont(font);
}
