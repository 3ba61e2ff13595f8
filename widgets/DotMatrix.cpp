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

void DotMatrix::SetItems(int index, bool lit)
{
    if (Items(index) == lit)
        return;
    lit_[static_cast<std::size_t>(index)] = lit;
    update(CellRect(index));
}

void DotMatrix::SetHighColor(const QColor& color)
{
    high_ = color;
    update();
}

void DotMatrix::SetLowColor(const QColor& color)
{
    low_ = color;
    update();
}

QRect DotMatrix::CellRect(int index) const
{
    return QRect(BorderWidth + index % columns_ * CellSize, BorderWidth + index / columns_ * CellSize, CellSize,
                 CellSize);
}

QSize DotMatrix::sizeHint() const
{
    return QSize(2 * BorderWidth + columns_ * CellSize, 2 * BorderWidth + rows_ * CellSize);
}

void DotMatrix::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect whole = rect();
    if (!QRect(BorderWidth, BorderWidth, whole.width() - 2 * BorderWidth, whole.height() - 2 * BorderWidth)
             .contains(event->rect())) {
        PaintDotMatrixBorder(painter, whole, palette());
    }
    const QRect dirty = event->rect();
    const int firstColumn = std::max(0, (dirty.left() - BorderWidth) / CellSize);
    const int lastColumn = std::min(columns_ - 1, (dirty.right() - BorderWidth) / CellSize);
    const int firstRow = std::max(0, (dirty.top() - BorderWidth) / CellSize);
    const int lastRow = std::min(rows_ - 1, (dirty.bottom() - BorderWidth) / CellSize);
    for (int row = firstRow; row <= lastRow; ++row)
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const int index = row * columns_ + column;
            const QRect cell = CellRect(index);
            painter.fillRect(cell, Qt::black);
            painter.fillRect(cell.adjusted(1, 1, -1, -1), lit_[static_cast<std::size_t>(index)] ? high_ : low_);
        }
}

void DotMatrix::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    emit MouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void DotMatrix::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit Click();
}

void PaintDotMatrixBorder(QPainter& painter, const QRect& whole, const QPalette& palette)
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
