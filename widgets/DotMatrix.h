// The logo editor's LED matrix: a fixed grid of flat 5 x 5 cells inside a
// 2-pixel bevel. It changes no cell by itself: it reports mouse presses and,
// while editable, moves a cursor over the cells by keyboard and reports the
// cell Space or Enter is pressed on.
#pragma once

#include <QColor>
#include <QWidget>
#include <vector>

class DotMatrix : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int columns READ columns CONSTANT)
    Q_PROPERTY(int rows READ rows CONSTANT)
    Q_PROPERTY(QColor litColor READ litColor WRITE setLitColor)
    Q_PROPERTY(QColor unlitColor READ unlitColor WRITE setUnlitColor)
    Q_PROPERTY(bool editable READ isEditable WRITE setEditable)
    Q_PROPERTY(int currentCell READ currentCell WRITE setCurrentCell)

public:
    static constexpr int kCellSize = 5;
    static constexpr int kBorderWidth = 2;

    explicit DotMatrix(QWidget* parent = nullptr, int columns = 84, int rows = 48);

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    int cellCount() const { return columns_ * rows_; }
    // Cell i is row * columns + column.
    bool isLit(int index) const { return lit_.at(static_cast<std::size_t>(index)); }
    // Setting a different state repaints that cell alone; the same state does nothing.
    void setLit(int index, bool lit);

    QColor litColor() const { return litColor_; }
    QColor unlitColor() const { return unlitColor_; }
    void setLitColor(const QColor& color);
    void setUnlitColor(const QColor& color);

    bool isEditable() const { return editable_; }
    // The keyboard cursor's cell, clamped to the grid; it shows while the
    // matrix is editable and has the focus.
    int currentCell() const { return current_; }
    void setCurrentCell(int index);

    QRect cellRect(int index) const;
    // The cell under a pixel of the widget, or -1 off the cells.
    int cellAt(QPoint at) const;
    QSize sizeHint() const override;

public slots:
    // Editable takes the keyboard focus on click or Tab; not editable, none.
    void setEditable(bool editable);

signals:
    // A mouse press at a pixel of the widget.
    void pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    // A left button released over the widget.
    void clicked();
    // Space or Enter on the cursor's cell while editable.
    void cellActivated(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int columns_;
    int rows_;
    std::vector<bool> lit_;
    QColor litColor_{0x00, 0xFF, 0x00};
    QColor unlitColor_{0x00, 0x80, 0x00};
    bool editable_ = false;
    int current_ = 0;
};

class QPainter;
class QPalette;
// The matrix's frame: an outline and a raised bevel round the cells, on the
// window colour. Also used by pictures drawn in the matrix's look.
void paintDotMatrixBorder(QPainter& painter, const QRect& whole, const QPalette& palette);
