#include "TextFit.h"

#include <QLabel>

#include "VrLabel.h"

namespace {

void widen(QWidget& widget, int wanted, bool centred)
{
    const int extra = wanted - widget.width();
    if (extra <= 0)
        return;
    const int left = centred ? widget.x() - (extra + 1) / 2 : widget.x();
    widget.setGeometry(left, widget.y(), wanted, widget.height());
}

}  // namespace

void FitLabelToText(QLabel& label)
{
    // The frame and margin belong to the text's box as well.
    const int chrome = 2 * (label.frameWidth() + label.margin()) + label.indent() * (label.indent() > 0);
    const int text = label.fontMetrics().size(0, label.text()).width();
    widen(label, text + chrome, label.alignment() & Qt::AlignHCenter);
}

void FitLabelToText(TVrLabel& label)
{
    // A pixel of inset on each side, and the highlight and shadow drawn a
    // pixel to either side of the text.
    const int text = label.fontMetrics().horizontalAdvance(label.Caption());
    widen(label, text + 4, label.Alignment() & Qt::AlignHCenter);
}
