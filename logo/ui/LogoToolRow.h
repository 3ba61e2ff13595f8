// The dot editor's row of small tool buttons under the matrix: the drawing
// tool in use, the whole-picture edits and undo/redo, each with a tooltip and
// a keyboard shortcut that works anywhere in the window.
#pragma once

#include <QWidget>

#include "logo/DotCanvas.h"

class QAction;
class QLineEdit;

enum class LogoTool { Pen, Line, Rectangle, Fill, Text };

class LogoToolRow : public QWidget {
    Q_OBJECT
public:
    explicit LogoToolRow(QWidget* parent = nullptr);

    LogoTool tool() const;
    void setTool(LogoTool tool);
    // What the text tool writes.
    QString text() const;
    QLineEdit* textEdit() const { return textEdit_; }

    // Tools and shortcuts work only while the window is in edit mode.
    void setEditing(bool editing);
    void setHistory(bool canUndo, bool canRedo);

    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }

signals:
    void toolChanged();
    void invertRequested();
    void clearRequested();
    void shiftRequested(DotShift direction);
    void flipRequested(DotFlip axis);
    void undoRequested();
    void redoRequested();

private:
    QAction* addButton(const QStringList& icon, const QString& tip, const QKeySequence& key);
    void updateEnabled();

    QList<QAction*> tools_;
    QList<QAction*> edits_;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QLineEdit* textEdit_ = nullptr;
    bool editing_ = false;
    bool canUndo_ = false;
    bool canRedo_ = false;
};
