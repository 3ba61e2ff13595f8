#include "widgets/DotMatrix.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

DotMatrix::DotMatrix(QWidget* parent, int columns, int rows)
    : QWidget(parent)
    , columns_(columns)
    , rows_(rows)
    , lit_(static_cast<std::size_t>(columns * rows), false)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DotMatrix::setLit(int index, bool lit)
{
    if (isLit(index) == lit)
        return;
    lit_[static_cast<std::size_t>(index)] = lit;
    update(cellRect(index));
}

void DotMatrix::setLitColor(const QColor& color)
{
    litColor_ = color;
    update();
}

void DotMatrix::setUnlitColor(const QColor& color)
{
    unlitColor_ = color;
    update();
}

QRect DotMatrix::cellRect(int index) const
{
    return QRect(kBorderWidth + index % columns_ * kCellSize, kBorderWidth + index / columns_ * kCellSize, kCellSize,
                 kCellSize);
}

QSize DotMatrix::sizeHint() const
{
    return QSize(2 * kBorderWidth + columns_ * kCellSize, 2 * kBorderWidth + rows_ * kCellSize);
}

void DotMatrix::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect whole = rect();
    if (!QRect(kBorderWidth, kBorderWidth, whole.width() - 2 * kBorderWidth, whole.height() - 2 * kBorderWidth)
             .contains(event->rect())) {
        paintDotMatrixBorder(painter, whole, palette());
    }
    const QRect dirty = event->rect();
    const int firstColumn = std::max(0, (dirty.left() - kBorderWidth) / kCellSize);
    const int lastColumn = std::min(columns_ - 1, (dirty.right() - kBorderWidth) / kCellSize);
    const int firstRow = std::max(0, (dirty.top() - kBorderWidth) / kCellSize);
    const int lastRow = std::min(rows_ - 1, (dirty.bottom() - kBorderWidth) / kCellSize);
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const int index = row * columns_ + column;
            const QRect cell = cellRect(index);
            painter.fillRect(cell, Qt::black);
            painter.fillRect(cell.adjusted(1, 1, -1, -1), lit_[static_cast<std::size_t>(index)] ? litColor_ : unlitColor_);
        }
}

void DotMatrix::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit pressed(event->button(), event->modifiers(), at.x(), at.y());
}

void DotMatrix::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void paintDotMatrixBorder(QPainter& painter, const QRect& whole, const QPalette& palette)
{
    // 1-pixel outline, then a raised 1-pixel bevel.
    painter.fillRect(whole, palette.window());
    painter.setPen(Qt::black);
    painter.drawRect(whole.adjusted(0, 0, -1, -1));
    const QRect bevel = whole.adjusted(1, 1, -2, -2);
    painter.setPen(Qt::white);
    painter.drawLine(bevel.topLeft(), bevel.topRight());
    painter.drawLine(bevel.topLeft(), bevel.bottomLeft());
    painter.setPen(QColor(0x80, 0x80, 0x80));
    painter.drawLine(bevel.bottomLeft(), bevel.bottomRight());
    painter.drawLine(bevel.topRight(), bevel.bottomRight());
}
