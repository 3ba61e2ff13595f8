// "Last dialled numbers": the handset's own number and the last five numbers
// it dialled, read as a job on the link's thread each time the dialog opens,
// and shown read-only. As a picker it has "Use", which gives the chosen
// number back.
#pragma once

#include "phonebook/HandsetNumbers.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

class LinkJob;
class LinkWorker;
namespace Ui {
class DialledNumbersDialog;
}

class DialledNumbersDialog : public QDialog {
    Q_OBJECT
public:
    // The worker runs the read; not owned, it outlives the dialog.
    explicit DialledNumbersDialog(LinkWorker& worker, QWidget* parent = nullptr);
    ~DialledNumbersDialog() override;

    // Shows the dialog modally and reads the numbers anew.
    void showNumbersOfPhone();
    // The same as a picker: the number the user chose with "Use"; nothing
    // when the dialog was closed.
    std::optional<QString> pickNumber();
    // Shows these numbers as read.
    void showNumbers(const HandsetNumbers& numbers);
    bool isReading() const { return job_ != nullptr; }

    // While the read runs, closing asks it to stop, says the dialog waits
    // for the phone, and closes once the read is over.
    void done(int result) override;

signals:
    // A read of the numbers is over, whether it got them or not.
    void readingEnded();

private:
    int readAndShow(bool picking);
    void readingFinished();
    // The number of the selected line, unless it holds none.
    std::optional<QString> selectedNumber() const;
    void updateButtons();
    void copySelected();

    std::unique_ptr<Ui::DialledNumbersDialog> ui_;
    LinkWorker& worker_;
    LinkJob* job_ = nullptr;
    bool read_ = false; // the running read gave the numbers
    // How the dialog closes once its read is over, when it was asked to meanwhile.
    std::optional<int> closeWhenDone_;
    QString title_;
};
