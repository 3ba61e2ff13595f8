// While a transfer with the phone runs, whatever would disturb it is
// unavailable: the controls that reach the handset, and those that change
// the data the transfer reads or writes. This one object decides it for every
// window; a control that has conditions of its own gives them here too.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QAction;
class QWidget;

class TransferGate : public QObject {
    Q_OBJECT
public:
    // What a control touches.
    enum class Touches {
        Handset, // unavailable during every transfer
        PhonebookData, // unavailable while a transfer reads or writes the phonebook
        LogoData, // unavailable while a transfer reads or writes the logo
    };
    // When the control may be used apart from transfers, and its tooltip then.
    struct Own {
        std::function<bool()> usable;
        std::function<QString()> toolTip;
    };

    explicit TransferGate(QObject* parent = nullptr);

    void guard(QWidget* widget, Touches touches, Own own = {});
    void guard(QAction* action, Touches touches, Own own = {});

    // A transfer runs, holding the data that touches names (Handset: none
    // but the handset's); or none runs.
    void setTransfer(Touches holds);
    void clearTransfer();
    bool transferRunning() const { return running_; }
    // Applies the controls' own conditions again, after they changed.
    void refresh();

    // "A transfer with the phone is running"
    static QString busyText();

private:
    struct Guarded {
        QPointer<QObject> control;
        Touches touches;
        Own own;
        QString toolTip; // its tooltip from before it was guarded
    };
    bool blocked(const Guarded& g) const;
    void apply(Guarded& g);
    void keepFocusAway();

    std::vector<Guarded> guarded_;
    bool running_ = false;
    Touches holds_ = Touches::Handset;
    // The control that had the focus when a transfer took it away.
    QPointer<QWidget> focusBefore_;
};
