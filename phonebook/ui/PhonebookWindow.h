// The "Phonebook" window, the program's only copy of the phonebook.
#pragma once

#include "phonebook/HandsetPhonebooks.h"
#include "phonebook/PhonebookFile.h"
#include "phonebook/PhonebookRows.h"
#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class LinkJob;
class LinkWorker;
class QAction;
class TransferGate;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;
class RecordEditor;
class LedProgressBar;
class JobContext;
namespace Ui {
class PhonebookWindow;
}

class PhonebookWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int kGridRows = 116; // header row + 100 records + 15 spare rows
    static constexpr int kRecordRows = 100;

    // The worker runs the transfers; the gate decides what may be used while
    // one runs. Neither is owned, and both outlive the window, as the editor does.
    PhonebookWindow(LinkWorker& worker, TransferGate& gate, RecordEditor& editor, QWidget* parent = nullptr);
    // The editor is looked up through editorSlot when first needed, so the
    // phonebook window can be made before the editor window is.
    PhonebookWindow(LinkWorker& worker, TransferGate& gate, RecordEditor* const& editorSlot, QWidget* parent = nullptr);
    ~PhonebookWindow() override;

    // Cell text in grid coordinates: column 0 and row 0 are the headers.
    QString cellText(int col, int row) const;
    void setCellText(int col, int row, const QString& text);
    // Top row of the current selection (1-115), 0 when nothing is selected.
    int selectedRow() const;
    void selectRow(int row);

    // Shows the window modally as a number picker: the "Phone" cell of the row
    // the user picked with OK, as it stands; nothing when the user did not pick.
    std::optional<std::string> pickNumber();

    // The window's controls, created by its form.
    QPushButton* readButton;
    QPushButton* writeAllButton;
    QPushButton* saveButton;
    QPushButton* loadButton;
    QPushButton* okButton;
    QPushButton* cancelButton;
    QLabel* hintLabel;
    QTableWidget* recordGrid;
    LedProgressBar* progressBar;
    QMenu* recordMenu;
    QAction* updateRecordAction;
    QAction* writeChangesAction;
    QAction* editRecordAction;
    QAction* deleteRecordAction;
    QAction* importAction;
    QAction* exportAction;

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
    // CSV, vCard or .npb, chosen by the file's extension.
    void importFromFile();
    void exportToFile();

    // While a transfer of this window runs, closing asks it to stop, says
    // the window waits for the phone, and closes once the transfer is over.
    void done(int result) override;

signals:
    // A transfer of this window is over.
    void transferEnded();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void labelGrid();

private:
    std::vector<PhonebookEntry> recordRowsAsEntries() const;
    // Rows 1-100 as the grid shows them.
    PhonebookRows gridRecords() const;
    // True when the handset keeps the rows as they are, or the user chose to
    // go on after seeing what it would not keep.
    bool handsetKeepsOrUserGoesOn(const PhonebookRows& rows);
    // Starts a transfer holding the phonebook; false when another runs.
    bool startTransfer(std::function<void(JobContext&)> work);
    void transferFinished();
    // The window's side of the transfers, as they report.
    void showReadRecord(int location, const PhonebookEntry& entry);
    void showProgress(int done, int total);
    // A phonebook is known for the handset last seen on the cable.
    bool handsetKnown() const;
    // Rows 1-100 that differ from what that handset holds.
    bool rowChanged(int row) const;
    std::vector<int> changedRows() const;
    // The location column's mark of a changed row, and what the command needs.
    void markRow(int row);
    void markChangedRows();

    std::unique_ptr<Ui::PhonebookWindow> ui_;
    RecordEditor& editor() const { return **editorSlot_; }

    LinkWorker& worker_;
    TransferGate& gate_;
    RecordEditor* ownEditor_ = nullptr;
    RecordEditor* const* editorSlot_ = nullptr;
    bool picking_ = false;
    // The window's transfer while one runs.
    LinkJob* job_ = nullptr;
    // How the window closes once its transfer is over, when it was asked to meanwhile.
    std::optional<int> closeWhenDone_;
    QString titleBeforeWaiting_;
    HandsetPhonebooks phonebooks_;
    // Windows-1251, as the handset gave it; empty until a handset answered.
    std::optional<std::string> handsetSerial_;
};
