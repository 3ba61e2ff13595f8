// The "Phonebook" window: the phonebook's 100 records in a list, read from
// and written to the phone, edited one by one, saved to and loaded from
// files. The records themselves are the window's model.
#pragma once

#include "phonebook/PhonebookModel.h"
#include "phonebook/PhonebookRows.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class JobContext;
class LinkJob;
class LinkWorker;
class RecordEditor;
class TransferGate;
namespace Ui {
class PhonebookWindow;
}

class PhonebookWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int kRecordRows = kPhonebookLocations;

    // Shows the handset's last dialled numbers for the user to choose one;
    // nothing when none was chosen.
    using DialledNumberPicker = std::function<std::optional<QString>()>;

    // The worker runs the transfers; the gate decides what may be used while
    // one runs; the editor edits one record. None is owned; all outlive the window.
    PhonebookWindow(LinkWorker& worker, TransferGate& gate, RecordEditor& editor, DialledNumberPicker pickDialledNumber,
                    QWidget* parent = nullptr);
    ~PhonebookWindow() override;

    // The records the window shows.
    PhonebookModel& records() { return model_; }
    const PhonebookModel& records() const { return model_; }
    // The location (0-99) of the selected record, if one is.
    std::optional<int> selectedLocation() const;
    void selectLocation(int location);

    // Shows the window modally as a number picker: the number of the record
    // the user picked with OK, as it stands (Windows-1251); nothing when the
    // user did not pick.
    std::optional<std::string> pickNumber();

public slots:
    void readFromPhone();
    void writeAllToPhone();
    void saveToFile();
    void loadFromFile();
    void updateRecordInPhone();
    // Writes only the records that differ from what the handset on the cable
    // holds, known from this session's last read or write of it.
    void writeChangesToPhone();
    void editRecord();
    void deleteRecord();
    void editClickedRecord();
    // The selected record takes a number the handset dialled lately.
    void takeDialledNumber();
    // CSV, vCard or .npb, chosen by the file's extension.
    void importFromFile();
    void exportToFile();

    // While a transfer of this window runs, closing asks it to stop, says
    // the window waits for the phone, and closes once the transfer is over.
    void done(int result) override;

signals:
    // A transfer of this window is over.
    void transferEnded();

private:
    void setUpRecordList();
    void setUpActions();
    // True when the handset keeps the rows as they are, or the user chose to
    // go on after seeing what it would not keep.
    bool handsetKeepsOrUserGoesOn(const PhonebookRows& rows);
    // Starts a transfer holding the phonebook; false when another runs.
    bool startTransfer(std::function<void(JobContext&)> work);
    void transferFinished();
    void showProgress(int done, int total);

    std::unique_ptr<Ui::PhonebookWindow> ui_;
    PhonebookModel model_;
    LinkWorker& worker_;
    TransferGate& gate_;
    RecordEditor& editor_;
    DialledNumberPicker pickDialledNumber_;
    // The window's transfer while one runs.
    LinkJob* job_ = nullptr;
    // How the window closes once its transfer is over, when it was asked to meanwhile.
    std::optional<int> closeWhenDone_;
    QString titleBeforeWaiting_;
};
