#include "logo/ui/LogoToolRow.h"

#include <QAction>
#include <QActionGroup>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>
#include <algorithm>

namespace {

// Fifteen buttons and the text field share the 424 pixels under the matrix.
constexpr int kRowHeight = 22;
constexpr int kButtonSide = 20;
constexpr int kGroupGap = 4;

// Icons are drawn as dots, like the matrix they edit: 7 x 7, '#' a dot.
using Pattern = QStringList;

const Pattern kPen = {".....##", "....###", "...###.", "..###..", ".###...", "##.....", "#......"};
const Pattern kLine = {"......#", ".....#.", "....#..", "...#...", "..#....", ".#.....", "#......"};
const Pattern kRectangle = {"#######", "#.....#", "#.....#", "#.....#", "#.....#", "#.....#", "#######"};
const Pattern kFill = {"#######", "#######", "#######", "#######", "#######", "#######", "#######"};
const Pattern kText = {".###...", "#...#..", "#...#..", "#####..", "#...#..", "#...#..", "#...#.."};
const Pattern kInvert = {"#######", "#..####", "#..####", "#..####", "#..####", "#..####", "#######"};
const Pattern kClear = {"#.....#", ".#...#.", "..#.#..", "...#...", "..#.#..", ".#...#.", "#.....#"};
const Pattern kLeft = {"...#...", "..#....", ".#.....", "#######", ".#.....", "..#....", "...#..."};
const Pattern kFlip = {".......", "#..#..#", "##.#.##", "###.###", "##.#.##", "#..#..#", "......."};
const Pattern kUndo = {"..#....", ".##....", "######.", ".##...#", "..#...#", "......#", "..####."};

Pattern mirrored(const Pattern& pattern)
{
    Pattern out;
    for (QString row : pattern) {
        std::reverse(row.begin(), row.end());
        out << row;
    }
    return out;
}

Pattern upsideDown(const Pattern& pattern)
{
    return Pattern(pattern.rbegin(), pattern.rend());
}

Pattern transposed(const Pattern& pattern)
{
    Pattern out;
    for (int x = 0; x < pattern.size(); ++x) {
        QString row;
        for (const QString& line : pattern)
            row += line[x];
        out << row;
    }
    return out;
}

QIcon dotIcon(const Pattern& pattern, const QColor& colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    for (int y = 0; y < pattern.size(); ++y)
        for (int x = 0; x < pattern[y].size(); ++x)
            if (pattern[y][x] == '#')
                painter.fillRect(1 + 2 * x, 1 + 2 * y, 2, 2, colour);
    return QIcon(pixmap);
}

} // namespace

LogoToolRow::LogoToolRow(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* group = new QActionGroup(this);

    const auto tool = [&](const Pattern& icon, const QString& tip, const QKeySequence& key) {
        QAction* action = addButton(icon, tip, key);
        action->setCheckable(true);
        group->addAction(action);
        tools_ << action;
        connect(action, &QAction::triggered, this, &LogoToolRow::toolChanged);
    };
    const auto edit = [&](const Pattern& icon, const QString& tip, const QKeySequence& key, auto&& signal) {
        QAction* action = addButton(icon, tip, key);
        edits_ << action;
        connect(action, &QAction::triggered, this, signal);
        return action;
    };

    tool(kPen, tr("Pen: click toggles a dot, drag with the left button sets dots, with the right clears them"),
         Qt::Key_P);
    tool(kLine, tr("Line (right button clears)"), Qt::Key_L);
    tool(kRectangle, tr("Rectangle (right button clears)"), Qt::Key_R);
    tool(kFill, tr("Fill an area (right button clears)"), Qt::Key_F);
    tool(kText, tr("Text: click where it starts (right button clears)"), Qt::Key_T);
    tools_.front()->setChecked(true);
    textEdit_ = new QLineEdit(QStringLiteral("HELLO"), this);
    textEdit_->setToolTip(tr("The text the text tool writes"));
    // The field takes the room the buttons leave, never less than a short word.
    textEdit_->setFixedHeight(kRowHeight);
    textEdit_->setMinimumWidth(textEdit_->fontMetrics().horizontalAdvance(QStringLiteral("HELLO")) + 12);
    layout->addWidget(textEdit_, 1);
    layout->addSpacing(kGroupGap);

    edit(kInvert, tr("Invert"), Qt::Key_I, &LogoToolRow::invertRequested);
    edit(kClear, tr("Clear"), Qt::Key_Delete, &LogoToolRow::clearRequested);
    layout->addSpacing(kGroupGap);
    const std::pair<Pattern, DotShift> shifts[] = {{kLeft, DotShift::Left},
                                                   {mirrored(kLeft), DotShift::Right},
                                                   {transposed(kLeft), DotShift::Up},
                                                   {upsideDown(transposed(kLeft)), DotShift::Down}};
    const QString shiftTips[] = {tr("Shift left"), tr("Shift right"), tr("Shift up"), tr("Shift down")};
    const Qt::Key shiftKeys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
    for (int i = 0; i < 4; ++i) {
        const DotShift direction = shifts[i].second;
        edit(shifts[i].first, shiftTips[i], QKeySequence(Qt::CTRL | shiftKeys[i]),
             [this, direction] { emit shiftRequested(direction); });
    }
    layout->addSpacing(kGroupGap);
    edit(kFlip, tr("Flip horizontally"), Qt::Key_H, [this] { emit flipRequested(DotFlip::Horizontal); });
    edit(transposed(kFlip), tr("Flip vertically"), Qt::Key_V, [this] { emit flipRequested(DotFlip::Vertical); });
    layout->addSpacing(kGroupGap);
    undo_ = edit(kUndo, tr("Undo"), QKeySequence::Undo, &LogoToolRow::undoRequested);
    redo_ = edit(mirrored(kUndo), tr("Redo"), QKeySequence::Redo, &LogoToolRow::redoRequested);
    redo_->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    redo_->setToolTip(tr("Redo (%1)").arg(redo_->shortcut().toString(QKeySequence::NativeText)));
    updateEnabled();
}

QAction* LogoToolRow::addButton(const QStringList& icon, const QString& tip, const QKeySequence& key)
{
    auto* action = new QAction(dotIcon(icon, palette().color(QPalette::ButtonText)), tip, this);
    action->setShortcut(key);
    action->setToolTip(QStringLiteral("%1 (%2)").arg(tip, key.toString(QKeySequence::NativeText)));
    auto* button = new QToolButton(this);
    button->setDefaultAction(action);
    button->setFixedSize(kButtonSide, kButtonSide);
    button->setAutoRaise(true);
    layout()->addWidget(button);
    return action;
}

LogoTool LogoToolRow::tool() const
{
    for (int i = 0; i < tools_.size(); ++i)
        if (tools_[i]->isChecked())
            return static_cast<LogoTool>(i);
    return LogoTool::Pen;
}

void LogoToolRow::setTool(LogoTool tool)
{
    tools_[static_cast<int>(tool)]->setChecked(true);
    emit toolChanged();
}

QString LogoToolRow::text() const
{
    return textEdit_->text();
}

void LogoToolRow::setEditing(bool editing)
{
    editing_ = editing;
    updateEnabled();
}

void LogoToolRow::setHistory(bool canUndo, bool canRedo)
{
    canUndo_ = canUndo;
    canRedo_ = canRedo;
    updateEnabled();
}

void LogoToolRow::updateEnabled()
{
    for (QAction* action : tools_ + edits_)
        action->setEnabled(editing_);
    undo_->setEnabled(editing_ && canUndo_);
    redo_->setEnabled(editing_ && canRedo_);
    textEdit_->setEnabled(editing_);
}
