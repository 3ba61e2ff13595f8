// Grids whose columns keep their designed width even where a text is wider
// (a 30-digit phone number): resting the mouse on a cut cell shows its whole
// text as a tooltip.
#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

class CutTextTipDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override;
};

// The cell's whole text where the cell cuts it, else an empty string.
QString cutCellText(const QAbstractItemView& view, const QModelIndex& index);
