// Unit2: the "Phonebook" window, the program's only copy of the phonebook.
#pragma once

#include "phonebook/PhonebookFile.h"
#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class PhonebookHost;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;
class TForm4;
class TVrProgressBar;
namespace Ui {
class TForm2;
}

class TForm2 : public QDialog {
    Q_OBJECT

public:
    static constexpr int GridRows = 116;  // header row + 100 records + 15 spare rows
    static constexpr int RecordRows = 100;

    // host and editor are not owned; both outlive the window.
    TForm2(PhonebookHost& host, TForm4& editor, QWidget* parent = nullptr);
    // The editor is looked up through editorSlot when first needed, so the
    // phonebook window can be made before the editor window is.
    TForm2(PhonebookHost& host, TForm4* const& editorSlot, QWidget* parent = nullptr);
    ~TForm2() override;

    // Cell text in grid coordinates: column 0 and row 0 are the headers.
    QString Cells(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    // Top row of the current selection (1-115), 0 when nothing is selected.
    int SelectedRow() const;
    void SelectRow(int row);

    // Shows the window modally as a number picker; true when the user picked a
    // row with OK, phone then holds that row's "Phone" cell as it stands.
    bool PickNumber(std::string& phone);

    // The window's controls, created by its form.
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;
    QPushButton* BitBtn5;
    QPushButton* BitBtn6;
    QLabel* Label1;
    QTableWidget* StringGrid1;
    TVrProgressBar* VrProgressBar1;
    QMenu* PopupMenu1;
    QAction* UpdaterecordinPhone1;
    QAction* Editrecord1;
    QAction* Deleterecord1;

public slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void UpdaterecordinPhone1Click();
    void Editrecord1Click();
    void Deleterecord1Click();
    void StringGrid1DblClick();

    // While a transfer runs the window stays open: it neither accepts, nor
    // rejects, nor closes.
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void FormShow();

private:
    std::vector<PhonebookEntry> RecordRowsAsEntries() const;

    std::unique_ptr<Ui::TForm2> ui_;
    TForm4& Editor() const { return **editorSlot_; }

    PhonebookHost& host_;
    TForm4* ownEditor_ = nullptr;
    TForm4* const* editorSlot_ = nullptr;
    bool picking_ = false;
    bool transferRunning_ = false;
};
