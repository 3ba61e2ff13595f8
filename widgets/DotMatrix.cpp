#include "widgets/DotMatrix.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "widgets/Accessibility.h"

namespace {

// Says the matrix's size and, while it is edited, the cell under the cursor.
class DotMatrixAccessible : public QAccessibleWidget {
public:
    explicit DotMatrixAccessible(DotMatrix* matrix)
        : QAccessibleWidget(matrix, QAccessible::Canvas)
    { }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name: {
            const QString name = QAccessibleWidget::text(t);
            return name.isEmpty() ? DotMatrix::tr("Dot matrix") : name;
        }
        case QAccessible::Description: {
            const QString size = DotMatrix::tr("%1 × %2 dots").arg(matrix()->columns()).arg(matrix()->rows());
            return matrix()->isEditable() ? size + QStringLiteral("; ") + cellText() : size;
        }
        case QAccessible::Value:
            return matrix()->isEditable() ? cellText() : QString();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.editable = matrix()->isEditable();
        s.readOnly = !matrix()->isEditable();
        return s;
    }

private:
    DotMatrix* matrix() const { return static_cast<DotMatrix*>(widget()); }
    QString cellText() const
    {
        const int cell = matrix()->currentCell();
        const int column = cell % matrix()->columns() + 1;
        const int row = cell / matrix()->columns() + 1;
        return matrix()->isLit(cell) ? DotMatrix::tr("Column %1, row %2, lit").arg(column).arg(row)
                                     : DotMatrix::tr("Column %1, row %2, unlit").arg(column).arg(row);
    }
};

} // namespace

DotMatrix::DotMatrix(QWidget* parent, int columns, int rows)
    : QWidget(parent)
    , columns_(columns)
    , rows_(rows)
    , lit_(static_cast<std::size_t>(columns * rows), false)
{
    installAccessibleInterface<DotMatrix, DotMatrixAccessible>();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DotMatrix::setLit(int index, bool lit)
{
    if (isLit(index) == lit)
        return;
    lit_[static_cast<std::size_t>(index)] = lit;
    update(cellRect(index));
    if (editable_ && index == current_)
        notifyAccessible(this, QAccessible::DescriptionChanged);
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

void DotMatrix::setEditable(bool editable)
{
    if (editable == editable_)
        return;
    editable_ = editable;
    setFocusPolicy(editable_ ? Qt::StrongFocus : Qt::NoFocus);
    if (!editable_ && hasFocus())
        clearFocus();
    update(cellRect(current_));
    QAccessible::State changed;
    changed.editable = true;
    changed.readOnly = true;
    notifyAccessibleState(this, changed);
    notifyAccessible(this, QAccessible::DescriptionChanged);
}

void DotMatrix::setCurrentCell(int index)
{
    index = std::clamp(index, 0, cellCount() - 1);
    if (index == current_)
        return;
    update(cellRect(current_));
    current_ = index;
    update(cellRect(current_));
    if (editable_)
        notifyAccessible(this, QAccessible::DescriptionChanged);
}

QRect DotMatrix::cellRect(int index) const
{
    return QRect(kBorderWidth + index % columns_ * kCellSize, kBorderWidth + index / columns_ * kCellSize, kCellSize,
                 kCellSize);
}

int DotMatrix::cellAt(QPoint at) const
{
    const QPoint inside = at - QPoint(kBorderWidth, kBorderWidth);
    if (inside.x() < 0 || inside.y() < 0)
        return -1;
    const int column = inside.x() / kCellSize;
    const int row = inside.y() / kCellSize;
    return column < columns_ && row < rows_ ? row * columns_ + column : -1;
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
    // The cursor: the cell's black rim drawn white.
    if (editable_ && hasFocus()) {
        painter.setPen(Qt::white);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cellRect(current_).adjusted(0, 0, -1, -1));
    }
}

void DotMatrix::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (editable_ && cellAt(at) >= 0)
        setCurrentCell(cellAt(at));
    emit pressed(event->button(), event->modifiers(), at.x(), at.y());
}

void DotMatrix::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void DotMatrix::keyPressEvent(QKeyEvent* event)
{
    if (!editable_) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int column = current_ % columns_;
    const int row = current_ / columns_;
    const auto moveTo = [this](int toColumn, int toRow) {
        setCurrentCell(std::clamp(toRow, 0, rows_ - 1) * columns_ + std::clamp(toColumn, 0, columns_ - 1));
    };
    switch (event->key()) {
    case Qt::Key_Left:
        moveTo(column - 1, row);
        break;
    case Qt::Key_Right:
        moveTo(column + 1, row);
        break;
    case Qt::Key_Up:
        moveTo(column, row - 1);
        break;
    case Qt::Key_Down:
        moveTo(column, row + 1);
        break;
    case Qt::Key_Home:
        moveTo(0, row);
        break;
    case Qt::Key_End:
        moveTo(columns_ - 1, row);
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Held down, it would toggle the cell back and forth.
        if (!event->isAutoRepeat())
            emit cellActivated(current_);
        break;
    default:
        QWidget::keyPressEvent(event);
        break;
    }
}

void DotMatrix::focusInEvent(QFocusEvent* event)
{
    update(cellRect(current_));
    QWidget::focusInEvent(event);
}

void DotMatrix::focusOutEvent(QFocusEvent* event)
{
    update(cellRect(current_));
    QWidget::focusOutEvent(event);
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
