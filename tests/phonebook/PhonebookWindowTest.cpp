// The phonebook window's handlers, driven with scripted prompts; its
// transfers run as jobs against the simulator's handset model.
#include "support/ModelledWorker.h"
#include "support/ScriptedPrompts.h"
#include "text/WinText.h"
#include "link/ReplyLayout.h"
#include "phonebook/PhoneRecord.h"
#include "phonebook/PhonebookFile.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "phonebook/ui/RecordEditor.h"
#include "PhonebookControls.h"

#include "widgets/CutTextTips.h"
#include "widgets/LedProgressBar.h"

#include <QDir>
#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QToolTip>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <numeric>
#include <gtest/gtest.h>

namespace {

// A request the window's transfers sent, as the handset heard it.
struct HostCall {
    int Location;
    std::string name;
    std::string number;
};

class PhonebookWindowTest : public ::testing::Test {
protected:
    PhonebookWindowTest()
        : window(phone.Worker(), phone.Gate(), editor, [this] {
            ++dialledPicks;
            return std::optional<QString>();
        })
    {
        // Record at location k: "N<k>Ж", "+<k>".
        handset::HandsetState state = phone.Model().state();
        state.serialNumber = "4711082015";
        for (std::size_t k = 0; k < handset::kPhonebookSize; ++k) {
            const std::string location = std::to_string(k);
            // Appended, not "+" + string: GCC 12 at -O3 warns falsely on that.
            std::string number = "+", name = "N";
            number += location;
            name += location;
            name += "\xC6";
            state.phonebook[k] = handset::makeRecord(number, name);
        }
        phone.Model().setState(state);
    }

    // Locations first..last: the record shown as number k is named prefix
    // + k, with the number 11 k.
    void FillRows(int first, int last, const QString& prefix)
    {
        for (int location = first; location <= last; ++location) {
            const int shown = location + 1;
            window.records().setRow(location, {prefix + QString::number(shown), QString::number(shown * 11)});
        }
    }
    QString Name(int location) const { return window.records().row(location).name; }
    QString Number(int location) const { return window.records().row(location).number; }
    // The location's header: its number as shown, and a mark when it differs from the phone.
    QString Label(int location) const
    {
        return window.records().headerData(location, Qt::Vertical).toString();
    }
    void SetName(int location, const QString& name)
    {
        window.records().setRow(location, {name, Number(location)});
    }
    void SetNumber(int location, const QString& number)
    {
        window.records().setRow(location, {Name(location), number});
    }
    RecordEditorControls EditorControls() const { return RecordEditorControls(&editor); }
    bool BulkButtonsEnabled() const
    {
        return ui.readButton->isEnabled() && ui.writeAllButton->isEnabled() && ui.saveButton->isEnabled()
            && ui.loadButton->isEnabled() && ui.okButton->isEnabled();
    }
    // Runs a handler and lets its transfer, if it started one, run to its end.
    void Run(void (PhonebookWindow::*handler)())
    {
        (window.*handler)();
        ASSERT_TRUE(phone.WaitUntilIdle());
    }
    // The phonebook writes the handset heard since the last call, one a
    // location (a request sent again counts once).
    std::vector<HostCall> Writes()
    {
        std::vector<HostCall> calls;
        const auto writes = phone.Line().DataFrameWrites();
        for (std::size_t i = seenWrites; i < writes.size(); ++i) {
            ReplyFrame frame{};
            std::copy(writes[i].bytes.begin(), writes[i].bytes.end(), frame.begin());
            const bool phonebookWrite = frame[reply::kDataAt] == 0x10 && frame[reply::kDataAt + 5] == 0x1F;
            const int location = frame[reply::kDataAt + 9];
            if (phonebookWrite && (calls.empty() || calls.back().Location != location))
                calls.push_back({location, decodeReplyName(frame), decodeReplyNumber(frame)});
        }
        seenWrites = writes.size();
        return calls;
    }
    // Locations asked for by phonebook reads since the last call, each once.
    std::vector<int> Reads()
    {
        std::vector<int> locations;
        const auto writes = phone.Line().DataFrameWrites();
        for (std::size_t i = seenReads; i < writes.size(); ++i) {
            const auto& f = writes[i].bytes;
            if (f.size() == 18 && f[4] == 0x0F && f[9] == 0x1F && (locations.empty() || locations.back() != f[13]))
                locations.push_back(f[13]);
        }
        seenReads = writes.size();
        return locations;
    }
    std::uint64_t Resets() { return phone.Model().resetCount(); }

    ScriptedPrompts prompts;
    ModelledWorker phone;
    RecordEditor editor;
    PhonebookWindow window;
    PhonebookWindowControls ui{&window};
    std::size_t seenWrites = 0;
    std::size_t seenReads = 0;
    int dialledPicks = 0; // the last dialled numbers shown to pick from
};

std::string LoadError(PhonebookWindow& window, void (PhonebookWindow::*handler)() = &PhonebookWindow::loadFromFile)
{
    try {
        (window.*handler)();
    } catch (const InOutError& e) {
        return e.what();
    }
    return "<no error>";
}

void Put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

TEST_F(PhonebookWindowTest, ListShowsTheHundredLocationsUnderTheirHeaders)
{
    SetName(6, QStringLiteral("kept"));
    window.show();
    const QAbstractItemModel& list = *ui.recordList->model();
    EXPECT_EQ(list.headerData(PhonebookModel::NameColumn, Qt::Horizontal).toString(), "Name");
    EXPECT_EQ(list.headerData(PhonebookModel::NumberColumn, Qt::Horizontal).toString(), "Phone");
    EXPECT_EQ(list.rowCount(), 100) << "the phonebook's locations, no spare rows";
    EXPECT_EQ(Label(0), "1");
    EXPECT_EQ(Label(99), "100");
    EXPECT_EQ(list.index(6, PhonebookModel::NameColumn).data().toString(), "kept");
    EXPECT_FALSE(ui.cancelButton->isVisible());
    EXPECT_EQ(ui.progressBar->value(), 99);
    window.hide();
}

TEST_F(PhonebookWindowTest, ReadAllFillsEveryRowAndMovesTheBarAfterEachRecord)
{
    QSignalSpy bar(ui.progressBar, &LedProgressBar::valueChanged);
    window.readFromPhone();
    // While it reads, the phonebook is the transfer's.
    EXPECT_FALSE(ui.readButton->isEnabled());
    EXPECT_FALSE(ui.okButton->isEnabled());
    EXPECT_FALSE(ui.editRecordAction->isEnabled());
    ASSERT_TRUE(phone.WaitUntilIdle());
    std::vector<int> expected(100);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(Reads(), expected);
    ASSERT_GE(bar.size(), 100);
    EXPECT_EQ(bar.at(50).at(0).toInt(), 50) << "the bar moves after each record";
    EXPECT_EQ(Name(0), fromWin1251("N0\xC6"));
    EXPECT_EQ(Number(99), "+99");
    EXPECT_EQ(ui.progressBar->value(), 99);
    EXPECT_TRUE(BulkButtonsEnabled());
    EXPECT_TRUE(phone.told.isEmpty());
}

TEST_F(PhonebookWindowTest, ReadAllStopsAtTheFirstFailureWithLaterRowsEmpty)
{
    FillRows(0, 99, "old");
    phone.AnswerOnly(40);
    Run(&PhonebookWindow::readFromPhone);
    EXPECT_EQ(Reads().size(), 41u);
    EXPECT_EQ(Number(39), "+39");
    for (int row = 41; row <= 100; ++row) {
        EXPECT_EQ(Name(row - 1), "") << row;
        EXPECT_EQ(Number(row - 1), "") << row;
    }
    EXPECT_EQ(ui.progressBar->value(), 40);
    EXPECT_EQ(phone.told, QStringList{"No answer from phone!  Please, check cable connection!"});
    EXPECT_TRUE(BulkButtonsEnabled());

    phone.AnswerOnly(0);
    Run(&PhonebookWindow::readFromPhone);
    EXPECT_EQ(Reads().size(), 1u);
    EXPECT_EQ(Name(0), "");
    EXPECT_EQ(Name(39), "");
    EXPECT_TRUE(BulkButtonsEnabled());
}

TEST_F(PhonebookWindowTest, WriteAllAsksFirstAndSendsAllHundredThenResets)
{
    FillRows(0, 99, QStringLiteral("Жук "));
    SetName(4, QString());
    SetNumber(4, QString());

    prompts.Answers = {false};
    Run(&PhonebookWindow::writeAllToPhone);
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(Resets(), 0u);
    ASSERT_EQ(prompts.Questions.size(), 1);
    EXPECT_EQ(prompts.Questions[0], "Do You really want to write current phonebook into Phone?");

    prompts.Answers = {true};
    window.writeAllToPhone();
    EXPECT_FALSE(ui.writeAllButton->isEnabled());
    EXPECT_FALSE(ui.okButton->isEnabled());
    EXPECT_FALSE(ui.deleteRecordAction->isEnabled()) << "the rows are the write's until it is over";
    ASSERT_TRUE(phone.WaitUntilIdle());
    const std::vector<HostCall> calls = Writes();
    ASSERT_EQ(calls.size(), 100u);
    for (int loc = 0; loc < 100; ++loc)
        EXPECT_EQ(calls[static_cast<std::size_t>(loc)].Location, loc);
    EXPECT_EQ(calls[0].name, "\xC6\xF3\xEA 1");
    EXPECT_EQ(calls[0].number, "11");
    EXPECT_EQ(calls[4].name, ""); // empty rows are written too
    EXPECT_EQ(Resets(), 1u);
    EXPECT_TRUE(BulkButtonsEnabled());
}

TEST_F(PhonebookWindowTest, WriteAllResetsAlsoAfterAFailure)
{
    phone.AnswerOnly(10);
    prompts.Answers = {true};
    Run(&PhonebookWindow::writeAllToPhone);
    EXPECT_EQ(Writes().size(), 11u);
    // The reset goes out too and is not answered either: both are told.
    EXPECT_EQ(phone.told, QStringList(2, "No answer from phone!  Please, check cable connection!"));
    EXPECT_EQ(ui.progressBar->value(), 10);
    EXPECT_TRUE(BulkButtonsEnabled());
}

TEST_F(PhonebookWindowTest, UpdateWritesTheSelectedRowAfterConfirmation)
{
    FillRows(0, 9, "n");
    window.selectLocation(6);
    prompts.Answers = {false, true};
    Run(&PhonebookWindow::updateRecordInPhone);
    EXPECT_TRUE(Writes().empty());
    Run(&PhonebookWindow::updateRecordInPhone);
    const std::vector<HostCall> calls = Writes();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Location, 6);
    EXPECT_EQ(calls[0].name, "n7");
    EXPECT_EQ(calls[0].number, "77");
    EXPECT_EQ(prompts.Questions.last(), "Do you really want to update record #7 in Phone?");
    EXPECT_EQ(Resets(), 0u);
}

TEST_F(PhonebookWindowTest, DeleteEmptiesTheRowOnlyOnYes)
{
    FillRows(2, 2, "x");
    window.selectLocation(2);
    prompts.Answers = {false};
    window.deleteRecord();
    EXPECT_EQ(Name(2), "x3");
    prompts.Answers = {true};
    window.deleteRecord();
    EXPECT_EQ(Name(2), "");
    EXPECT_EQ(Number(2), "");
    EXPECT_EQ(prompts.Questions.last(), "Do You really want to delete record?");
}

TEST_F(PhonebookWindowTest, EditTakesBackTheFieldsPaddedOnOkOnly)
{
    FillRows(2, 2, "Bo");
    window.selectLocation(2);
    QString seenName, seenNumber, seenTitle;
    auto answer = [&](bool ok) {
        QTimer::singleShot(0, &editor, [&, ok] {
            seenName = editor.nameText();
            seenNumber = editor.numberText();
            seenTitle = editor.windowTitle();
            editor.setRecord(QStringLiteral("Аня"), QStringLiteral("+7-1"));
            ok ? EditorControls().okButton->click() : EditorControls().cancelButton->click();
        });
    };
    answer(false);
    window.editRecord();
    EXPECT_EQ(seenName, "Bo3" + QString(13, ' '));
    EXPECT_EQ(seenNumber, "33" + QString(28, ' '));
    EXPECT_EQ(seenTitle, "Edit Record #3");
    EXPECT_EQ(Name(2), "Bo3");

    answer(true);
    window.editRecord();
    EXPECT_EQ(Name(2), QStringLiteral("Аня") + QString(13, ' '));
    EXPECT_EQ(Number(2), "+7-1" + QString(26, ' '));
}

TEST_F(PhonebookWindowTest, SaveThenLoadGivesTheSameRecords)
{
    QTemporaryDir dir;
    prompts.FileName = dir.filePath("book.npb");
    FillRows(0, 99, QStringLiteral("Ёлка "));
    SetName(49, QString(40, 'L'));
    SetNumber(59, QString());
    prompts.Answers = {true}; // go on although the handset would not keep Ё and the long name
    window.saveToFile();
    EXPECT_EQ(prompts.Questions.size(), 1);
    EXPECT_EQ(prompts.Suffix, "npb");
    EXPECT_TRUE(prompts.Filters.last().contains("*.npb"));
    EXPECT_EQ(QFile(prompts.FileName).size(), 6600);

    FillRows(0, 99, "changed");
    window.loadFromFile();
    EXPECT_EQ(Name(0), QStringLiteral("Ёлка 1"));
    EXPECT_EQ(Number(99), "1100");
    EXPECT_EQ(Name(49), QString(32, 'L'));
    EXPECT_EQ(Number(59), "");
}

TEST_F(PhonebookWindowTest, ShortFileFillsItsRecordsThenReportsReadBeyondEnd)
{
    QTemporaryDir dir;
    prompts.FileName = dir.filePath("one.npb");
    QFile file(prompts.FileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(encodePhonebookFile({{"First", "123"}}).substr(0, 66)));
    file.close();
    FillRows(0, 2, "old");

    EXPECT_EQ(LoadError(window), "Read beyond end of file");
    EXPECT_EQ(Name(0), "First");
    EXPECT_EQ(Number(0), "123");
    EXPECT_EQ(Name(1), "old2");

    prompts.FileName = dir.filePath("missing.npb");
    EXPECT_EQ(LoadError(window), "File not found");
    EXPECT_EQ(Name(0), "First");
}

TEST_F(PhonebookWindowTest, PickerReturnsThePhoneOfTheDoubleClickedRow)
{
    FillRows(0, 9, "p");
    SetNumber(3, "+7 12   ");
    bool cancelVisible = false;
    QTimer::singleShot(0, &window, [&] {
        cancelVisible = ui.cancelButton->isVisible();
        window.selectLocation(3);
        window.editClickedRecord();
    });
    EXPECT_EQ(window.pickNumber(), "+7 12   ");
    EXPECT_TRUE(cancelVisible);
    EXPECT_FALSE(ui.cancelButton->isVisible());

    QTimer::singleShot(0, &window, [&] { ui.cancelButton->click(); });
    EXPECT_EQ(window.pickNumber(), std::nullopt);
    EXPECT_FALSE(ui.cancelButton->isVisible());
}

// Closing while a transfer runs: the window says it waits for the phone, a
// read stops between two records, a write goes on to its end, and the window
// goes only once the transfer is over. Escape closes the window as any
// dialog's, and cancels a pick.
TEST_F(PhonebookWindowTest, ClosingDuringATransferWaitsForItsEndAndEscapeClosesTheWindow)
{
    window.show();
    phone.HoldAt(30);
    ui.readButton->click();
    ASSERT_TRUE(phone.WaitUntilHeld());
    window.close();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Phonebook — Waiting for the phone…"));
    phone.Release();
    ASSERT_TRUE(phone.WaitUntilIdle());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), "Phonebook");
    EXPECT_EQ(Reads().size(), 31u) << "the read stopped after the record it was at";

    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    window.show();
    phone.HoldAt(30);
    prompts.Answers = {true};
    ui.writeAllButton->click();
    ASSERT_TRUE(phone.WaitUntilHeld());
    window.close();
    phone.Release();
    ASSERT_TRUE(phone.WaitUntilIdle());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(Writes().size(), 100u) << "a write is never left half-way";

    QTimer::singleShot(0, &window, [&] { QTest::keyClick(&window, Qt::Key_Escape); });
    EXPECT_EQ(window.pickNumber(), std::nullopt);
}

TEST_F(PhonebookWindowTest, CaptionsFitTheirControls)
{
    for (QPushButton* b : {ui.readButton, ui.writeAllButton, ui.saveButton, ui.loadButton})
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->width()) << b->text().toStdString();
    const QStringList lines = ui.hintLabel->text().split('\n');
    ASSERT_EQ(lines.size(), 2);
    for (const QString& line : lines)
        EXPECT_LE(ui.hintLabel->fontMetrics().horizontalAdvance(line), ui.hintLabel->width())
            << line.toStdString();
    EXPECT_LE(2 * ui.hintLabel->fontMetrics().lineSpacing(), ui.hintLabel->height());
}

TEST_F(PhonebookWindowTest, WriteAllListsWhatTheHandsetWouldNotKeepAndNoWritesNothing)
{
    FillRows(0, 2, "ok");
    SetName(1, QStringLiteral("Ёж"));
    SetNumber(2, "12-34");
    prompts.Answers = {true, false};
    Run(&PhonebookWindow::writeAllToPhone);
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(Resets(), 0u);
    ASSERT_EQ(prompts.Questions.size(), 2);
    EXPECT_TRUE(prompts.Questions[1].contains(QStringLiteral("2 \"Ёж\": letters stored as the nearest the handset has: Ё → Е")))
        << prompts.Questions[1].toStdString();
    EXPECT_TRUE(prompts.Questions[1].contains("3 \"ok3\": number characters that become blanks: -"));

    prompts.Answers = {true, true};
    Run(&PhonebookWindow::writeAllToPhone);
    const std::vector<HostCall> calls = Writes();
    ASSERT_EQ(calls.size(), 100u);
    EXPECT_EQ(calls[1].name, "\xC5\xE6") << "Ё goes out as Е";
    EXPECT_EQ(Resets(), 1u);
}

TEST_F(PhonebookWindowTest, UpdateChecksOnlyTheRecordItWrites)
{
    SetName(1, QString(20, 'x'));
    SetName(2, "fine");
    window.selectLocation(1);
    prompts.Answers = {true, false};
    Run(&PhonebookWindow::updateRecordInPhone);
    EXPECT_TRUE(Writes().empty());
    ASSERT_EQ(prompts.Questions.size(), 2);
    EXPECT_TRUE(prompts.Questions[1].contains("name cut after 16 characters, \"xxxx\" is lost"));

    window.selectLocation(2);
    prompts.Answers = {true};
    Run(&PhonebookWindow::updateRecordInPhone);
    const std::vector<HostCall> calls = Writes();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].name, "fine");
    EXPECT_EQ(prompts.Questions.size(), 3) << "row 2 is not written, so it is not asked about";
}

TEST_F(PhonebookWindowTest, SavingAPhonebookFileTheHandsetCannotKeepWritesNothingOnNo)
{
    QTemporaryDir dir;
    SetNumber(0, "+7 (495) 123");
    for (auto save : {&PhonebookWindow::saveToFile, &PhonebookWindow::exportToFile}) {
        prompts.FileName = dir.filePath("book.npb");
        prompts.Answers = {false};
        (window.*save)();
        EXPECT_FALSE(QFile::exists(prompts.FileName));
    }
    EXPECT_EQ(prompts.Questions.size(), 2);
}

TEST_F(PhonebookWindowTest, ImportReplacesTheHundredRecordsOnlyAfterTheUserAgrees)
{
    QTemporaryDir dir;
    prompts.FileName = dir.filePath("book.csv");
    Put(prompts.FileName, "location;name;number\r\n2;Аня;+7 1\r\n2;Боб;22\r\n");
    FillRows(0, 99, "old");

    prompts.Answers = {false};
    window.importFromFile();
    EXPECT_EQ(Name(1), "old2");
    ASSERT_EQ(prompts.Questions.size(), 1);
    const QString question = prompts.Questions[0];
    EXPECT_TRUE(question.contains(QDir::toNativeSeparators(prompts.FileName))) << question.toStdString();
    EXPECT_TRUE(question.contains("2 record")) << question.toStdString();
    EXPECT_TRUE(question.contains("line 3: location 2 is already taken by line 2; placed at location 1"))
        << question.toStdString();

    prompts.Answers = {true};
    window.importFromFile();
    EXPECT_EQ(Name(0), QStringLiteral("Боб"));
    EXPECT_EQ(Number(1), "+71");
    EXPECT_EQ(Name(2), "");
    EXPECT_EQ(Number(99), "");
}

TEST_F(PhonebookWindowTest, AFailedImportChangesNothingAndNamesTheFileAndLine)
{
    QTemporaryDir dir;
    prompts.FileName = dir.filePath("bad.csv");
    Put(prompts.FileName, "name,number\n\"a\",1\n\"open,2\n");
    FillRows(0, 99, "old");
    prompts.Answers = {true};
    EXPECT_EQ(LoadError(window, &PhonebookWindow::importFromFile),
              QStringLiteral("Cannot read \"%1\", line 3: a quoted field is not closed.")
                  .arg(prompts.FileName)
                  .toStdString());
    EXPECT_TRUE(prompts.Questions.isEmpty());
    EXPECT_EQ(Name(0), "old1");
    EXPECT_EQ(Number(99), "1100");
}

TEST_F(PhonebookWindowTest, AFileWithoutRecordsIsRefusedAndReplacesNothing)
{
    QTemporaryDir dir;
    FillRows(0, 99, "old");
    for (const auto& [name, bytes] : {std::pair<QString, QByteArray>{"empty.vcf", ""},
                                      {"header.csv", "location,name,number\r\n"},
                                      {"nested.vcf", "BEGIN:VCARD\nBEGIN:VCARD\nEND:VCARD\nEND:VCARD\n"}}) {
        prompts.FileName = dir.filePath(name);
        Put(prompts.FileName, bytes);
        prompts.Answers = {true};
        EXPECT_TRUE(QString::fromStdString(LoadError(window, &PhonebookWindow::importFromFile))
                        .startsWith(QStringLiteral("Cannot read \"%1\": there is no record in it").arg(prompts.FileName)));
    }
    EXPECT_TRUE(prompts.Questions.isEmpty());
    EXPECT_EQ(Name(0), "old1");
    EXPECT_EQ(Number(99), "1100");
}

TEST_F(PhonebookWindowTest, SavingOntoAFolderSaysItIsAFolder)
{
    QTemporaryDir dir;
    prompts.FileName = dir.path();
    EXPECT_EQ(LoadError(window, &PhonebookWindow::saveToFile),
              QStringLiteral("Cannot save \"%1\": it is a folder.").arg(dir.path()).toStdString());
}

TEST_F(PhonebookWindowTest, ExportThenImportGivesBackTheRecordsWithoutTheEditorsPadding)
{
    QTemporaryDir dir;
    FillRows(0, 99, QStringLiteral("Жук "));
    SetName(3, QStringLiteral("Аня") + QString(13, ' '));
    SetNumber(3, "+71" + QString(27, ' '));
    SetName(4, QString());
    SetNumber(4, QString());
    for (const QString name : {"book.csv", "book.vcf"}) {
        prompts.FileName = dir.filePath(name);
        window.exportToFile();
        EXPECT_TRUE(prompts.Questions.isEmpty()) << "only a .npb file is checked for the handset";

        FillRows(0, 99, "changed");
        prompts.Answers = {true};
        window.importFromFile();
        prompts.Questions.clear();
        EXPECT_EQ(Name(0), QStringLiteral("Жук 1")) << name.toStdString();
        EXPECT_EQ(Number(99), "1100");
        EXPECT_EQ(Name(3), QStringLiteral("Аня"));
        EXPECT_EQ(Number(3), "+71");
        EXPECT_EQ(Name(4), "");
        EXPECT_EQ(Number(4), "");
    }
}

// Whatever would touch the handset or change the rows is unavailable while a
// transfer runs, from the keyboard too, and says why: nothing runs twice and
// no row changes under the transfer.
TEST_F(PhonebookWindowTest, NothingTouchesTheRowsOrThePhoneWhileATransferRuns)
{
    QTemporaryDir dir;
    prompts.FileName = dir.filePath("book.csv");
    Put(prompts.FileName, "location,name,number\n1,imported,1\n");
    FillRows(0, 99, "w");
    window.show();
    window.activateWindow();
    for (bool read : {true, false}) {
        SCOPED_TRACE(read ? "during a read" : "during Write All");
        phone.HoldAt(20);
        prompts.Answers = {true, true};
        read ? ui.readButton->click() : ui.writeAllButton->click();
        ASSERT_TRUE(phone.WaitUntilHeld());
        window.selectLocation(98);
        prompts.Questions.clear();
        prompts.Answers = {true, true, true};
        for (const char* keys : {"Ctrl+U", "Ctrl+E", "Ctrl+I", "Ctrl+Shift+E", "Ctrl+Shift+W"})
            QTest::keySequence(&window, QKeySequence(keys));
        for (QAction* action : {ui.updateRecordAction, ui.editRecordAction, ui.deleteRecordAction,
                                ui.dialledNumberAction, ui.importAction, ui.exportAction, ui.writeChangesAction}) {
            EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
            EXPECT_EQ(action->toolTip(), "A transfer with the phone is running");
            action->trigger();
        }
        EXPECT_TRUE(prompts.Questions.isEmpty()) << prompts.Questions.join('|').toStdString();
        EXPECT_TRUE(prompts.Filters.isEmpty());
        EXPECT_EQ(dialledPicks, 0);
        phone.Release();
        ASSERT_TRUE(phone.WaitUntilIdle());
        EXPECT_TRUE(window.isVisible());
    }
    EXPECT_EQ(Reads().size(), 100u);
    const std::vector<HostCall> written = Writes();
    ASSERT_EQ(written.size(), 100u) << "each record once: nothing went out between";
    EXPECT_EQ(written[98].name, "N98\xC6") << "record 99 as it was read";
    EXPECT_EQ(Name(98), fromWin1251("N98\xC6"));
    EXPECT_TRUE(ui.updateRecordAction->isEnabled());
    EXPECT_EQ(ui.updateRecordAction->toolTip(), "Update record in Phone");
}

// The phone column keeps its designed width; a number it cuts is shown whole
// where the mouse rests on it, and one that fits gets no tip.
TEST_F(PhonebookWindowTest, CutNumberShowsWholeInTooltip)
{
    const QString longNumber = QStringLiteral("+123456789012345678901234567890");
    SetNumber(0, longNumber);
    SetNumber(1, QStringLiteral("2345678"));
    window.show();
    QTableView& grid = *ui.recordList;
    const QModelIndex cut = grid.model()->index(0, 1);
    const QPoint at = grid.visualRect(cut).center();
    QHelpEvent hover(QEvent::ToolTip, at, grid.viewport()->mapToGlobal(at));
    QApplication::sendEvent(grid.viewport(), &hover);
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), longNumber);
    EXPECT_EQ(cutCellText(grid, grid.model()->index(1, 1)), QString());
    QToolTip::hideText();
}

TEST_F(PhonebookWindowTest, WriteChangesWaitsForACompleteReadAndSaysWhy)
{
    auto disabledWithReason = [&] {
        return !ui.writeChangesAction->isEnabled()
            && ui.writeChangesAction->toolTip() == "Read the phonebook from the phone first";
    };
    EXPECT_TRUE(disabledWithReason());
    EXPECT_TRUE(ui.recordMenu->actions().contains(ui.writeChangesAction));
    EXPECT_TRUE(ui.recordMenu->toolTipsVisible());
    EXPECT_EQ(ui.writeChangesAction->shortcut(), QKeySequence("Ctrl+Shift+W"));

    phone.AnswerOnly(60);
    Run(&PhonebookWindow::readFromPhone);
    EXPECT_TRUE(disabledWithReason()) << "a read that stopped half-way";
    Run(&PhonebookWindow::writeChangesToPhone);
    EXPECT_EQ(Reads().size(), 61u);
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(prompts.Questions.isEmpty());

    phone.AnswerOnly(-1);
    Run(&PhonebookWindow::readFromPhone);
    EXPECT_TRUE(ui.writeChangesAction->isEnabled());
    phone.AnswerOnly(60);
    Run(&PhonebookWindow::readFromPhone);
    EXPECT_TRUE(disabledWithReason()) << "the rows left empty say nothing of the phone";
}

TEST_F(PhonebookWindowTest, RowsDifferentFromThePhoneAreMarkedHoweverTheyChanged)
{
    Run(&PhonebookWindow::readFromPhone);
    EXPECT_EQ(Label(6), "7");
    SetName(6, "edited");
    EXPECT_EQ(Label(6), QStringLiteral("7 •"));
    EXPECT_EQ(window.records().headerData(6, Qt::Vertical, Qt::ToolTipRole).toString(), "Not yet written to the phone");
    SetName(6, fromWin1251("N6\xC6") + QString(13, ' ')); // back as read, padded as the editor pads
    EXPECT_EQ(Label(6), "7");

    QTemporaryDir dir;
    prompts.FileName = dir.filePath("book.csv");
    Put(prompts.FileName, "location,name,number\n3,N2\xD0\x96,+2\n4,other,+3\n");
    prompts.Answers = {true};
    window.importFromFile();
    EXPECT_EQ(Label(2), "3") << "imported as the phone holds it";
    EXPECT_EQ(Label(3), QStringLiteral("4 •"));
    EXPECT_EQ(Label(4), QStringLiteral("5 •")) << "emptied by the import";
}

TEST_F(PhonebookWindowTest, WriteChangesWritesOnlyTheMarkedRowsThenResets)
{
    Run(&PhonebookWindow::readFromPhone);
    SetName(2, QStringLiteral("Ёлка с очень длинным именем"));
    SetNumber(49, "+7 495");
    SetName(99, QString());
    SetNumber(99, QString());

    prompts.Answers = {true, true};
    ui.writeChangesAction->trigger();
    EXPECT_FALSE(ui.readButton->isEnabled());
    ASSERT_TRUE(phone.WaitUntilIdle());
    ASSERT_EQ(prompts.Questions.size(), 2);
    EXPECT_EQ(prompts.Questions[0], "Do You really want to write the 3 changed record(s) into Phone?");
    EXPECT_TRUE(prompts.Questions[1].contains(QStringLiteral("3 \"Ёлка"))) << prompts.Questions[1].toStdString();
    const std::vector<HostCall> calls = Writes();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].Location, 2);
    EXPECT_EQ(calls[1].Location, 49);
    EXPECT_EQ(calls[1].number, "+7 495");
    EXPECT_EQ(calls[2].Location, 99);
    EXPECT_EQ(calls[2].name, "");
    EXPECT_EQ(Resets(), 1u);
    EXPECT_EQ(ui.progressBar->value(), ui.progressBar->maximum());
    EXPECT_TRUE(BulkButtonsEnabled());
    for (int location : {2, 49, 99})
        EXPECT_EQ(Label(location), QString::number(location + 1)) << "the phone holds it as it can: no change left";

    prompts.Questions.clear();
    Run(&PhonebookWindow::writeChangesToPhone);
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(Resets(), 1u);
    EXPECT_TRUE(prompts.Questions.isEmpty());
    ASSERT_EQ(prompts.Notices.size(), 1);
    EXPECT_EQ(prompts.Notices[0], "The phone holds every record as the list shows it: there is nothing to write.");
}

TEST_F(PhonebookWindowTest, WriteChangesWritesNothingToAnotherPhone)
{
    Run(&PhonebookWindow::readFromPhone);
    SetName(7, "edited");
    handset::HandsetState other = phone.Model().state();
    other.serialNumber = "1234567890";
    phone.Model().setState(other);
    prompts.Answers = {true};
    Run(&PhonebookWindow::writeChangesToPhone);
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(Resets(), 0u);
    ASSERT_EQ(prompts.Notices.size(), 1);
    EXPECT_TRUE(prompts.Notices[0].contains("its serial number is 1234567890, not 4711082015"))
        << prompts.Notices[0].toStdString();
    EXPECT_FALSE(ui.writeChangesAction->isEnabled()) << "nothing is known of this phone";
    EXPECT_EQ(Label(7), "8");

    other.serialNumber = "4711082015";
    phone.Model().setState(other);
    prompts.Answers = {true};
    Run(&PhonebookWindow::updateRecordInPhone); // row 1, unchanged: tells which phone is on the cable again
    EXPECT_TRUE(ui.writeChangesAction->isEnabled());
    EXPECT_EQ(Label(7), QStringLiteral("8 •"));
}

TEST_F(PhonebookWindowTest, WriteAllAndUpdateTellWhatThePhoneHolds)
{
    FillRows(0, 99, "w");
    prompts.Answers = {true};
    Run(&PhonebookWindow::writeAllToPhone);
    EXPECT_TRUE(ui.writeChangesAction->isEnabled());
    SetName(8, "edited");
    SetName(9, "edited");
    EXPECT_EQ(Label(8), QStringLiteral("9 •"));
    window.selectLocation(8);
    prompts.Answers = {true};
    Run(&PhonebookWindow::updateRecordInPhone);
    EXPECT_EQ(Label(8), "9");
    EXPECT_EQ(Label(9), QStringLiteral("10 •"));
}

TEST_F(PhonebookWindowTest, RecordsAFailedWriteMayHaveChangedStayMarked)
{
    Run(&PhonebookWindow::readFromPhone);
    phone.AnswerOnly(20);
    prompts.Answers = {true};
    Run(&PhonebookWindow::writeAllToPhone);
    EXPECT_FALSE(ui.writeChangesAction->isEnabled()) << "which phone took the records is not known";

    phone.AnswerOnly(-1);
    window.selectLocation(49);
    prompts.Answers = {true};
    Run(&PhonebookWindow::updateRecordInPhone);
    ASSERT_TRUE(ui.writeChangesAction->isEnabled());
    EXPECT_EQ(Label(0), QStringLiteral("1 •"));
    EXPECT_EQ(Label(20), QStringLiteral("21 •")) << "the failed record may have arrived";
    EXPECT_EQ(Label(21), "22");
    EXPECT_EQ(Label(49), "50");
}
