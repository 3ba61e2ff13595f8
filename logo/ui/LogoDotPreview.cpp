#include "logo/ui/LogoDotPreview.h"

#include "widgets/DotMatrix.h"

#include <QPainter>

namespace {

// The matrix's own colours: they stand for the handset's screen, so they do
// not follow the palette.
const QColor kSetColour(0x00, 0x80, 0x00);
const QColor kClearColour(0x00, 0xFF, 0x00);

} // namespace

LogoDotPreview::LogoDotPreview(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void LogoDotPreview::setDots(const LogoDots& dots)
{
    if (dots == dots_)
        return;
    dots_ = dots;
    update();
}

QSize LogoDotPreview::sizeHint() const
{
    return QSize(2 * kBorderWidth + kLogoWidth * kCellSize, 2 * kBorderWidth + kLogoHeight * kCellSize);
}

void LogoDotPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect whole = rect();
    paintDotMatrixBorder(painter, whole, palette());

    painter.fillRect(kBorderWidth, kBorderWidth, kLogoWidth * kCellSize, kLogoHeight * kCellSize, Qt::black);
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x)
            painter.fillRect(kBorderWidth + x * kCellSize + 1, kBorderWidth + y * kCellSize + 1, kCellSize - 2,
                             kCellSize - 2, dots_[logoCellIndex(x, y)] ? kSetColour : kClearColour);
}
