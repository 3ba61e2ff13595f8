#include "widgets/TransferGate.h"

#include <QAction>
#include <QApplication>
#include <QWidget>

TransferGate::TransferGate(QObject* parent)
    : QObject(parent)
{ }

QString TransferGate::busyText()
{
    return tr("A transfer with the phone is running");
}

void TransferGate::guard(QWidget* widget, Touches touches, Own own)
{
    guarded_.push_back({widget, touches, std::move(own), widget->toolTip()});
    apply(guarded_.back());
}

void TransferGate::guard(QAction* action, Touches touches, Own own)
{
    guarded_.push_back({action, touches, std::move(own), action->toolTip()});
    apply(guarded_.back());
}

bool TransferGate::blocked(const Guarded& g) const
{
    return running_ && (g.touches == Touches::Handset || g.touches == holds_);
}

void TransferGate::apply(Guarded& g)
{
    const bool isBlocked = blocked(g);
    const bool usable = !isBlocked && (!g.own.usable || g.own.usable());
    const QString tip = isBlocked ? busyText() : (g.own.toolTip ? g.own.toolTip() : g.toolTip);
    if (auto* widget = qobject_cast<QWidget*>(g.control.data())) {
        widget->setEnabled(usable);
        widget->setToolTip(tip);
    } else if (auto* action = qobject_cast<QAction*>(g.control.data())) {
        action->setEnabled(usable);
        action->setToolTip(tip);
    }
}

// A control that loses its use while it has the focus would hand the focus
// to the next one, and a second key press would run a command nobody chose:
// the focus waits on the window instead, and goes back after the transfer.
void TransferGate::keepFocusAway()
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return;
    for (const Guarded& g : guarded_) {
        if (g.control == focus && blocked(g)) {
            focusBefore_ = focus;
            focus->window()->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void TransferGate::setTransfer(Touches holds)
{
    running_ = true;
    holds_ = holds;
    keepFocusAway();
    refresh();
}

void TransferGate::clearTransfer()
{
    running_ = false;
    refresh();
    if (focusBefore_ && focusBefore_->isEnabled() && focusBefore_->isVisible()) {
        QWidget* now = QApplication::focusWidget();
        // Unless the user has put the focus somewhere else meanwhile.
        if (!now || now == focusBefore_->window())
            focusBefore_->setFocus(Qt::OtherFocusReason);
    }
    focusBefore_.clear();
}

void TransferGate::refresh()
{
    std::erase_if(guarded_, [](const Guarded& g) { return g.control.isNull(); });
    for (Guarded& g : guarded_)
        apply(g);
}
