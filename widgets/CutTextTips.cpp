#include "widgets/CutTextTips.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QStyle>
#include <QToolTip>

QString cutCellText(const QAbstractItemView& view, const QModelIndex& index)
{
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty())
        return QString();
    const QVariant font = index.data(Qt::FontRole);
    const QFontMetrics metrics(font.isValid() ? font.value<QFont>() : view.font());
    // The style keeps a margin on each side of an item's text.
    const int margin = view.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &view) + 1;
    const int room = view.visualRect(index).width() - 2 * margin;
    return metrics.horizontalAdvance(text) > room ? text : QString();
}

bool CutTextTipDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                   const QModelIndex& index)
{
    if (event && view && event->type() == QEvent::ToolTip && !index.data(Qt::ToolTipRole).isValid()) {
        const QString whole = cutCellText(*view, index);
        if (whole.isEmpty()) {
            QToolTip::hideText();
            return false;
        }
        QToolTip::showText(event->globalPos(), whole, view->viewport(), option.rect);
        return true;
    }
    return QStyledItemDelegate::helpEvent(event, view, option, index);
}
