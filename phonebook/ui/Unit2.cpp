// Unit2: the "Phonebook" window, the program's only copy of the phonebook.
#include "phonebook/ui/Unit2.h"

#include "phonebook/PhonebookFileIo.h"
#include "phonebook/PhonebookHost.h"
#include "phonebook/ui/Unit4.h"
#include "widgets/DesignFonts.h"
#include "widgets/TextFit.h"
#include "ui_Unit2.h"
#include "widgets/Prompts.h"
#include "widgets/WinText.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

namespace {

const QString FileFilter = QStringLiteral("Nokia PhoneBook file (*.npb);;All files (*)");
const QString FileExtension = QStringLiteral("npb");
const QString DefaultFileName = QStringLiteral("Phbook");

// Re-enables the buttons a bulk transfer disabled, however it ends.
class ButtonsDisabled {
public:
    ButtonsDisabled(std::initializer_list<QWidget*> buttons) : buttons_(buttons)
    {
        for (QWidget* b : buttons_)
            b->setEnabled(false);
    }
    ~ButtonsDisabled()
    {
        for (QWidget* b : buttons_)
            b->setEnabled(true);
    }
    ButtonsDisabled(const ButtonsDisabled&) = delete;
    ButtonsDisabled& operator=(const ButtonsDisabled&) = delete;

private:
    std::vector<QWidget*> buttons_;
};

// Marks the window busy with the handset for as long as a transfer runs.
class TransferRunning {
public:
    explicit TransferRunning(bool& flag) : flag_(flag) { flag_ = true; }
    ~TransferRunning() { flag_ = false; }
    TransferRunning(const TransferRunning&) = delete;
    TransferRunning& operator=(const TransferRunning&) = delete;

private:
    bool& flag_;
};

} // namespace

TForm2::TForm2(PhonebookHost& host, TForm4& editor, QWidget* parent) : TForm2(host, ownEditor_, parent)
{
    ownEditor_ = &editor;
}

TForm2::TForm2(PhonebookHost& host, TForm4* const& editorSlot, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TForm2>()), host_(host), editorSlot_(&editorSlot)
{
    ui_->setupUi(this);
    BitBtn1 = ui_->BitBtn1;
    BitBtn2 = ui_->BitBtn2;
    BitBtn3 = ui_->BitBtn3;
    BitBtn4 = ui_->BitBtn4;
    BitBtn5 = ui_->BitBtn5;
    BitBtn6 = ui_->BitBtn6;
    Label1 = ui_->Label1;
    StringGrid1 = ui_->StringGrid1;
    VrProgressBar1 = ui_->VrProgressBar1;
    UpdaterecordinPhone1 = ui_->UpdaterecordinPhone1;
    Editrecord1 = ui_->Editrecord1;
    Deleterecord1 = ui_->Deleterecord1;
    setFont(DesignFont("MS Sans Serif", 11));
    Label1->setWordWrap(false);
    FitLabelToText(*Label1);

    StringGrid1->setFont(DesignFont("Courier", 13));
    StringGrid1->setTextElideMode(Qt::ElideNone);
    StringGrid1->setRowCount(GridRows - 1);
    StringGrid1->setColumnCount(2);
    StringGrid1->verticalHeader()->setFixedWidth(64);
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setDefaultSectionSize(24);
    StringGrid1->horizontalHeader()->setFixedHeight(24);
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Header cells are plain fixed cells: they do not turn bold with the selection.
    StringGrid1->horizontalHeader()->setHighlightSections(false);
    StringGrid1->verticalHeader()->setHighlightSections(false);
    StringGrid1->setColumnWidth(0, 262);
    StringGrid1->setColumnWidth(1, 100);
    for (int row = 0; row < GridRows - 1; ++row) {
        StringGrid1->setVerticalHeaderItem(row, new QTableWidgetItem(QString()));
        for (int col = 0; col < 2; ++col)
            StringGrid1->setItem(row, col, new QTableWidgetItem(QString()));
    }
    StringGrid1->setHorizontalHeaderItem(0, new QTableWidgetItem(QString()));
    StringGrid1->setHorizontalHeaderItem(1, new QTableWidgetItem(QString()));
    SelectRow(1);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(UpdaterecordinPhone1);
    PopupMenu1->addAction(Editrecord1);
    PopupMenu1->addAction(Deleterecord1);
    // The shortcuts work while the window has the focus, menu open or not.
    addAction(UpdaterecordinPhone1);
    addAction(Editrecord1);
    addAction(Deleterecord1);
    connect(StringGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(StringGrid1->viewport()->mapToGlobal(at)); });

    connect(BitBtn1, &QPushButton::clicked, this, &TForm2::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TForm2::BitBtn2Click);
    connect(BitBtn3, &QPushButton::clicked, this, &TForm2::BitBtn3Click);
    connect(BitBtn4, &QPushButton::clicked, this, &TForm2::BitBtn4Click);
    connect(BitBtn5, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn6, &QPushButton::clicked, this, &QDialog::reject);
    connect(UpdaterecordinPhone1, &QAction::triggered, this, &TForm2::UpdaterecordinPhone1Click);
    connect(Editrecord1, &QAction::triggered, this, &TForm2::Editrecord1Click);
    connect(Deleterecord1, &QAction::triggered, this, &TForm2::Deleterecord1Click);
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, &TForm2::StringGrid1DblClick);
}

TForm2::~TForm2() = default;

QString TForm2::Cells(int col, int row) const
{
    const QTableWidgetItem* item = nullptr;
    if (row == 0 && col > 0)
        item = StringGrid1->horizontalHeaderItem(col - 1);
    else if (col == 0 && row > 0)
        item = StringGrid1->verticalHeaderItem(row - 1);
    else if (col > 0)
        item = StringGrid1->item(row - 1, col - 1);
    return item ? item->text() : QString();
}

void TForm2::SetCell(int col, int row, const QString& text)
{
    QTableWidgetItem* item = nullptr;
    if (row == 0 && col > 0)
        item = StringGrid1->horizontalHeaderItem(col - 1);
    else if (col == 0 && row > 0)
        item = StringGrid1->verticalHeaderItem(row - 1);
    else if (col > 0)
        item = StringGrid1->item(row - 1, col - 1);
    if (item)
        item->setText(text);
}

int TForm2::SelectedRow() const
{
    const QList<QTableWidgetSelectionRange> ranges = StringGrid1->selectedRanges();
    if (!ranges.isEmpty())
        return ranges.first().topRow() + 1;
    return StringGrid1->currentRow() >= 0 ? StringGrid1->currentRow() + 1 : 0;
}

void TForm2::SelectRow(int row)
{
    StringGrid1->setCurrentCell(row - 1, 0);
}

bool TForm2::PickNumber(std::string& phone)
{
    BitBtn6->setVisible(true);
    picking_ = true;
    const bool picked = exec() == QDialog::Accepted && SelectedRow() > 0;
    picking_ = false;
    BitBtn6->setVisible(false);
    if (picked)
        phone = ToWin1251(Cells(2, SelectedRow()));
    return picked;
}

void TForm2::done(int result)
{
    if (!transferRunning_)
        QDialog::done(result);
}

void TForm2::keyPressEvent(QKeyEvent* event)
{
    // Escape cancels a pick; the phonebook itself is closed only on purpose.
    if (event->key() == Qt::Key_Escape && !picking_) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TForm2::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TForm2::FormShow()
{
    SetCell(1, 0, QStringLiteral("Name"));
    SetCell(2, 0, QStringLiteral("Phone"));
    for (int row = 1; row <= RecordRows; ++row)
        SetCell(0, row, QString::number(row));
}

void TForm2::BitBtn1Click()
{
    TransferRunning running(transferRunning_);
    ButtonsDisabled disabled{BitBtn1, BitBtn2, BitBtn3, BitBtn4, BitBtn5};
    for (int row = 1; row <= RecordRows; ++row) {
        SetCell(1, row, QString());
        SetCell(2, row, QString());
    }
    VrProgressBar1->setPosition(0);
    for (int row = 1; row <= RecordRows; ++row) {
        std::string name;
        std::string number;
        bool ok = false;
        host_.PhBookRead(row - 1, name, number, ok);
        if (!ok)
            break;
        SetCell(2, row, FromWin1251(number));
        SetCell(1, row, FromWin1251(name));
        VrProgressBar1->setPosition(row);
    }
}

void TForm2::BitBtn2Click()
{
    if (!prompts().Confirm(this, QStringLiteral("Do You really want to write current phonebook into Phone?")))
        return;
    TransferRunning running(transferRunning_);
    ButtonsDisabled disabled{BitBtn1, BitBtn2, BitBtn3, BitBtn4};
    VrProgressBar1->setPosition(0);
    for (int row = 1; row <= RecordRows; ++row) {
        std::string number = ToWin1251(Cells(2, row));
        std::string name = ToWin1251(Cells(1, row));
        bool ok = false;
        host_.PhBookWrite(row - 1, name, number, ok);
        if (!ok)
            break;
        VrProgressBar1->setPosition(row);
    }
    // The handset takes the new phonebook in only after a restart.
    host_.ClickSoftwareReset();
}

void TForm2::BitBtn3Click()
{
    const QString path = prompts().SaveFileNameAs(this, QStringLiteral("Save phonebook"), FileFilter, FileExtension, DefaultFileName);
    if (path.isEmpty())
        return;
    SavePhonebookFile(path, RecordRowsAsEntries());
}

void TForm2::BitBtn4Click()
{
    const QString path = prompts().OpenFileNameAs(this, QStringLiteral("Load phonebook"), FileFilter, DefaultFileName, false);
    if (path.isEmpty())
        return;
    const DecodedPhonebook book = DecodePhonebookFile(ReadPhonebookFile(path));
    for (std::size_t i = 0; i < book.Entries.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        SetCell(1, row, FromWin1251(book.Entries[i].Name));
        SetCell(2, row, FromWin1251(book.Entries[i].Number));
    }
    if (book.Truncated)
        throw EInOutError("Read beyond end of file");
}

void TForm2::UpdaterecordinPhone1Click()
{
    const int row = SelectedRow();
    if (row <= 0)
        return;
    if (row > RecordRows) {
        prompts().Notice(this, QStringLiteral("Record #%1 is not in the phone's phonebook: only records 1 to %2 "
                                              "can be written to the phone.")
                                   .arg(row)
                                   .arg(RecordRows));
        return;
    }
    if (!prompts().Confirm(this, QStringLiteral("Do you really want to update record #%1 in Phone?").arg(row)))
        return;
    std::string name = ToWin1251(Cells(1, row));
    std::string number = ToWin1251(Cells(2, row));
    bool ok = false;
    TransferRunning running(transferRunning_);
    host_.PhBookWrite(row - 1, name, number, ok);
}

void TForm2::Editrecord1Click()
{
    const int row = SelectedRow();
    if (row <= 0)
        return;
    Editor().SetRecord(Cells(1, row), Cells(2, row));
    Editor().setWindowTitle(QStringLiteral("Edit Record #%1").arg(row));
    if (Editor().exec() != QDialog::Accepted)
        return;
    SetCell(1, row, Editor().NameText());
    SetCell(2, row, Editor().NumberText());
}

void TForm2::Deleterecord1Click()
{
    const int row = SelectedRow();
    if (row <= 0)
        return;
    if (!prompts().Confirm(this, QStringLiteral("Do You really want to delete record?")))
        return;
    SetCell(1, row, QString());
    SetCell(2, row, QString());
}

void TForm2::StringGrid1DblClick()
{
    BitBtn5->click();
}

std::vector<PhonebookEntry> TForm2::RecordRowsAsEntries() const
{
    std::vector<PhonebookEntry> entries;
    entries.reserve(RecordRows);
    for (int row = 1; row <= RecordRows; ++row)
        entries.push_back({ToWin1251(Cells(1, row)), ToWin1251(Cells(2, row))});
    return entries;
}
