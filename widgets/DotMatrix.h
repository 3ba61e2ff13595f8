// The logo editor's LED matrix: a fixed grid of flat 5 x 5 cells inside a
// 2-pixel bevel. It has no mouse behaviour of its own; it reports presses.
#pragma once

#include <QColor>
#include <QWidget>
#include <vector>

class DotMatrix : public QWidget {
    Q_OBJECT
public:
    static constexpr int CellSize = 5;
    static constexpr int BorderWidth = 2;

    explicit DotMatrix(QWidget* parent = nullptr, int columns = 84, int rows = 48);

    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    int Count() const { return columns_ * rows_; }
    // Cell i is row * Columns + column.
    bool Items(int index) const { return lit_.at(static_cast<std::size_t>(index)); }
    // Setting a different state repaints that cell alone; the same state does nothing.
    void SetItems(int index, bool lit);

    QColor HighColor() const { return high_; }
    QColor LowColor() const { return low_; }
    void SetHighColor(const QColor& color);
    void SetLowColor(const QColor& color);

    QRect CellRect(int index) const;
    QSize sizeHint() const override;

signals:
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int X, int Y);
    void Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int columns_;
    int rows_;
    std::vector<bool> lit_;
    QColor high_{0x00, 0xFF, 0x00};
    QColor low_{0x00, 0x80, 0x00};
};

class QPainter;
class QPalette;
// The matrix's frame: an outline and a raised bevel round the cells, on the
// window colour. Also used by pictures drawn in the matrix's look.
void PaintDotMatrixBorder(QPainter& painter, const QRect& whole, const QPalette& palette);
