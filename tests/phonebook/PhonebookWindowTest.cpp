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
#include <QTableWidget>
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
        : window(phone.Worker(), phone.Gate(), editor)
    {
        // Record at location k: "N<k>Ж", "+<k>".
        handset::HandsetState state = phone.Model().state();
        state.serialNumber = "4711082015";
        for (std::size_t k = 0; k < handset::kPhonebookSize; ++k)
            state.phonebook[k] = handset::makeRecord("+" + std::to_string(k), "N" + std::to_string(k) + "\xC6");
        phone.Model().setState(state);
    }

    void FillRows(int first, int last, const QString& prefix)
    {
        for (int row = first; row <= last; ++row) {
            window.setCellText(1, row, prefix + QString::number(row));
            window.setCellText(2, row, QString::number(row * 11));
        }
    }
    bool BulkButtonsEnabled() const
    {
        return window.readButton->isEnabled() && window.writeAllButton->isEnabled() && window.saveButton->isEnabled()
            && window.loadButton->isEnabled() && window.okButton->isEnabled();
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
    std::size_t seenWrites = 0;
    std::size_t seenReads = 0;
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

TEST_F(PhonebookWindowTest, ShowingPutsHeadersAndRecordNumbersOnly)
{
    window.setCellText(1, 7, QStringLiteral("kept"));
    window.show();
    EXPECT_EQ(window.cellText(1, 0), "Name");
    EXPECT_EQ(window.cellText(2, 0), "Phone");
    EXPECT_EQ(window.cellText(0, 1), "1");
    EXPECT_EQ(window.cellText(0, 100), "100");
    EXPECT_EQ(window.cellText(0, 101), "");
    EXPECT_EQ(window.cellText(1, 7), "kept");
    EXPECT_FALSE(window.cancelButton->isVisible());
    EXPECT_EQ(window.progressBar->value(), 99);
    window.hide();
}

TEST_F(PhonebookWindowTest, ReadAllFillsEveryRowAndMovesTheBarAfterEachRecord)
{
    FillRows(101, 101, "spare");
    QSignalSpy bar(window.progressBar, &LedProgressBar::valueChanged);
    window.readFromPhone();
    // While it reads, the phonebook is the transfer's.
    EXPECT_FALSE(window.readButton->isEnabled());
    EXPECT_FALSE(window.okButton->isEnabled());
    EXPECT_FALSE(window.editRecordAction->isEnabled());
    ASSERT_TRUE(phone.WaitUntilIdle());
    std::vector<int> expected(100);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(Reads(), expected);
    ASSERT_GE(bar.size(), 100);
    EXPECT_EQ(bar.at(50).at(0).toInt(), 50) << "the bar moves after each record";
    EXPECT_EQ(window.cellText(1, 1), fromWin1251("N0\xC6"));
    EXPECT_EQ(window.cellText(2, 100), "+99");
    EXPECT_EQ(window.cellText(1, 101), "spare101");
    EXPECT_EQ(window.progressBar->value(), 99);
    EXPECT_TRUE(BulkButtonsEnabled());
    EXPECT_TRUE(phone.told.isEmpty());
}

TEST_F(PhonebookWindowTest, ReadAllStopsAtTheFirstFailureWithLaterRowsEmpty)
{
    FillRows(1, 100, "old");
    phone.AnswerOnly(40);
    Run(&PhonebookWindow::readFromPhone);
    EXPECT_EQ(Reads().size(), 41u);
    EXPECT_EQ(window.cellText(2, 40), "+39");
    for (int row = 41; row <= 100; ++row) {
        EXPECT_EQ(window.cellText(1, row), "") << row;
        EXPECT_EQ(window.cellText(2, row), "") << row;
    }
    EXPECT_EQ(window.progressBar->value(), 40);
    EXPECT_EQ(phone.told, QStringList{"No answer from phone!  Please, check cable connection!"});
    EXPECT_TRUE(BulkButtonsEnabled());

    phone.AnswerOnly(0);
    Run(&PhonebookWindow::readFromPhone);
    EXPECT_EQ(Reads().size(), 1u);
    EXPECT_EQ(window.cellText(1, 1), "");
    EXPECT_EQ(window.cellText(1, 40), "");
    EXPECT_TRUE(BulkButtonsEnabled());
}

TEST_F(PhonebookWindowTest, WriteAllAsksFirstAndSendsAllHundredThenResets)
{
    FillRows(1, 100, QStringLiteral("Жук "));
    window.setCellText(1, 5, QString());
    window.setCellText(2, 5, QString());

    prompts.Answers = {false};
    Run(&PhonebookWindow::writeAllToPhone);
    EXPECT_TRUE(Writes().empty());
    EXPECT_EQ(Resets(), 0u);
    ASSERT_EQ(prompts.Questions.size(), 1);
    EXPECT_EQ(prompts.Questions[0], "Do You really want to write current phonebook into Phone?");

    prompts.Answers = {true};
    window.writeAllToPhone();
    EXPECT_FALSE(window.writeAllButton->isEnabled());
    EXPECT_FALSE(window.okButton->isEnabled());
    EXPECT_FALSE(window.deleteRecordAction->isEnabled()) << "the rows are the write's until it is over";
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
    EXPECT_EQ(window.progressBar->value(), 10);
    EXPECT_TRUE(BulkButtonsEnabled());
}

TEST_F(PhonebookWindowTest, UpdateWritesTheSelectedRowAfterConfirmation)
{
    FillRows(1, 10, "n");
    window.selectRow(7);
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

TEST_F(PhonebookWindowTest, UpdateRefusesTheSpareRowsBeyondThePhonebook)
{
    for (int row : {101, 115}) {
        FillRows(row, row, "spare");
        window.selectRow(row);
        prompts.Answers = {true};
        Run(&PhonebookWindow::updateRecordInPhone);
        EXPECT_TRUE(Writes().empty()) << row;
        ASSERT_FALSE(prompts.Notices.isEmpty());
        EXPECT_TRUE(prompts.Notices.last().contains(QStringLiteral("#%1").arg(row)))
            << prompts.Notices.last().toStdString();
    }
    EXPECT_TRUE(prompts.Questions.isEmpty());
}

TEST_F(PhonebookWindowTest, DeleteEmptiesTheRowOnlyOnYes)
{
    FillRows(3, 3, "x");
    window.selectRow(3);
    prompts.Answers = {false};
    window.deleteRecord();
    EXPECT_EQ(window.cellText(1, 3), "x3");
    prompts.Answers = {true};
    window.deleteRecord();
    EXPECT_EQ(window.cellText(1, 3), "");
    EXPECT_EQ(window.cellText(2, 3), "");
    EXPECT_EQ(prompts.Questions.last(), "Do You really want to delete record?");
}

TEST_F(PhonebookWindowTest, EditTakesBackTheFieldsPaddedOnOkOnly)
{
    FillRows(3, 3, "Bo");
    window.selectRow(3);
    QString seenName, seenNumber, seenTitle;
    auto answer = [&](bool ok) {
        QTimer::singleShot(0, &editor, [&, ok] {
            seenName = editor.nameText();
            seenNumber = editor.numberText();
            seenTitle = editor.windowTitle();
            editor.setRecord(QStringLiteral("Аня"), QStringLiteral("+7-1"));
            ok ? editor.okButton->click() : editor.cancelButton->click();
        });
    };
    answer(false);
    window.editRecord();
    EXPECT_EQ(seenName, "Bo3" + QString(13, ' '));
    EXPECT_EQ(seenNumber, "33" + QString(28, ' '));
    EXPECT_EQ(seenTitle, "Edit Record #3");
    EXPECT_EQ(window.cellText(1, 3), "Bo3");

    answer(true);
    window.editRecord();
    EXPECT_EQ(window.cellText(1, 3), QStringLiteral("Аня") + QString(13, ' '));
    EXPECT_EQ(window.cellText(2, 3), "+7-1" + QString(26, ' '));
}

TEST_F(PhonebookWindowTest, SaveThenLoadGivesTheSameRecords)
{
    QTemporaryDir dir;
    prompts.FileName = dir.filePath("book.npb");
    FillRows(1, 100, QStringLiteral("Ёлка "));
    window.setCellText(1, 50, QString(40, 'L'));
    window.setCellText(2, 60, QString());
    prompts.Answers = {true}; // go on although the handset would not keep Ё and the long name
    window.saveToFile();
    EXPECT_EQ(prompts.Questions.size(), 1);
    EXPECT_EQ(prompts.Suffix, "npb");
    EXPECT_TRUE(prompts.Filters.last().contains("*.npb"));
    EXPECT_EQ(QFile(prompts.FileName).size(), 6600);

    FillRows(1, 101, "changed");
    window.loadFromFile();
    EXPECT_EQ(window.cellText(1, 1), QStringLiteral("Ёлка 1"));
    EXPECT_EQ(window.cellText(2, 100), "1100");
    EXPECT_EQ(window.cellText(1, 50), QString(32, 'L'));
    EXPECT_EQ(window.cellText(2, 60), "");
    EXPECT_EQ(window.cellText(1, 101), "changed101");
}

TEST_F(PhonebookWindowTest, ShortFileFillsItsRecordsThenReportsReadBeyondEnd)
{
    QTemporaryDir dir;
    prompts.FileName = dir.filePath("one.npb");
    QFile file(prompts.FileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(encodePhonebookFile({{"First", "123"}}).substr(0, 66)));
    file.close();
    FillRows(1, 3, "old");

    EXPECT_EQ(LoadError(window), "Read beyond end of file");
    EXPECT_EQ(window.cellText(1, 1), "First");
    EXPECT_EQ(window.cellText(2, 1), "123");
    EXPECT_EQ(window.cellText(1, 2), "old2");

    prompts.FileName = dir.filePath("missing.npb");
    EXPECT_EQ(LoadError(window), "File not found");
    EXPECT_EQ(window.cellText(1, 1), "First");
}

TEST_F(PhonebookWindowTest, PickerReturnsThePhoneOfTheDoubleClickedRow)
{
    FillRows(1, 10, "p");
    window.setCellText(2, 4, "+7 12   ");
    bool cancelVisible = false;
    QTimer::singleShot(0, &window, [&] {
        cancelVisible = window.cancelButton->isVisible();
        window.selectRow(4);
        window.editClickedRecord();
    });
    EXPECT_EQ(window.pickNumber(), "+7 12   ");
    EXPECT_TRUE(cancelVisible);
    EXPECT_FALSE(window.cancelButton->isVisible());

    QTimer::singleShot(0, &window, [&] { window.cancelButton->click(); });
    EXPECT_EQ(window.pickNumber(), std::nullopt);
    EXPECT_FALSE(window.cancelButton->isVisible());
}

// Closing while a transfer runs: the window says it waits for the phone, a
// read stops between two records, a write goes on to its end, and the window
// goes only once the transfer is over. Escape closes a pick, never the
// phonebook itself.
TEST_F(PhonebookWindowTest, ClosingDuringATransferWaitsForItsEndAndEscapeCancelsOnlyAPick)
{
    window.show();
    phone.HoldAt(30);
    window.readButton->click();
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
    EXPECT_TRUE(window.isVisible()) << "Escape does not close the phonebook itself";
    phone.HoldAt(30);
    prompts.Answers = {true};
    window.writeAllButton->click();
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
    for (QPushButton* b : {window.readButton, window.writeAllButton, window.saveButton, window.loadButton})
        EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()) + 8, b->width()) << b->text().toStdString();
    const QStringList lines = window.hintLabel->text().split('\n');
    ASSERT_EQ(lines.size(), 2);
    for (const QString& line : lines)
        EXPECT_LE(window.hintLabel->fontMetrics().horizontalAdvance(line), window.hintLabel->width())
            << line.toStdString();
    EXPECT_LE(2 * window.hintLabel->fontMetrics().lineSpacing(), window.hintLabel->height());
}

TEST_F(PhonebookWindowTest, WriteAllListsWhatTheHandsetWouldNotKeepAndNoWritesNothing)
{
    FillRows(1, 3, "ok");
    window.setCellText(1, 2, QStringLiteral("Ёж"));
    window.setCellText(2, 3, "12-34");
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
    window.setCellText(1, 2, QString(20, 'x'));
    window.setCellText(1, 3, "fine");
    window.selectRow(2);
    prompts.Answers = {true, false};
    Run(&PhonebookWindow::updateRecordInPhone);
    EXPECT_TRUE(Writes().empty());
    ASSERT_EQ(prompts.Questions.size(), 2);
    EXPECT_TRUE(prompts.Questions[1].contains("name cut after 16 characters, \"xxxx\" is lost"));

    window.selectRow(3);
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
    window.setCellText(2, 1, "+7 (495) 123");
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
    FillRows(1, 101, "old");

    prompts.Answers = {false};
    window.importFromFile();
    EXPECT_EQ(window.cellText(1, 2), "old2");
    ASSERT_EQ(prompts.Questions.size(), 1);
    const QString question = prompts.Questions[0];
    EXPECT_TRUE(question.contains(QDir::toNativeSeparators(prompts.FileName))) << question.toStdString();
    EXPECT_TRUE(question.contains("2 record")) << question.toStdString();
    EXPECT_TRUE(question.contains("line 3: location 2 is already taken by line 2; placed at location 1"))
        << question.toStdString();

    prompts.Answers = {true};
    window.importFromFile();
    EXPECT_EQ(window.cellText(1, 1), QStringLiteral("Боб"));
    EXPECT_EQ(window.cellText(2, 2), "+71");
    EXPECT_EQ(window.cellText(1, 3), "");
    EXPECT_EQ(window.cellText(2, 100), "");
    EXPECT_EQ(window.cellText(1, 101), "old101") << "the spare rows are no part of the phonebook";
}

TEST_F(PhonebookWindowTest, AFailedImportChangesNothingAndNamesTheFileAndLine)
{
    QTemporaryDir dir;
    prompts.FileName = dir.filePath("bad.csv");
    Put(prompts.FileName, "name,number\n\"a\",1\n\"open,2\n");
    FillRows(1, 100, "old");
    prompts.Answers = {true};
    EXPECT_EQ(LoadError(window, &PhonebookWindow::importFromFile),
              QStringLiteral("Cannot read \"%1\", line 3: a quoted field is not closed.")
                  .arg(prompts.FileName)
                  .toStdString());
    EXPECT_TRUE(prompts.Questions.isEmpty());
    EXPECT_EQ(window.cellText(1, 1), "old1");
    EXPECT_EQ(window.cellText(2, 100), "1100");
}

TEST_F(PhonebookWindowTest, AFileWithoutRecordsIsRefusedAndReplacesNothing)
{
    QTemporaryDir dir;
    FillRows(1, 100, "old");
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
    EXPECT_EQ(window.cellText(1, 1), "old1");
    EXPECT_EQ(window.cellText(2, 100), "1100");
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
    FillRows(1, 100, QStringLiteral("Жук "));
    window.setCellText(1, 4, QStringLiteral("Аня") + QString(13, ' '));
    window.setCellText(2, 4, "+71" + QString(27, ' '));
    window.setCellText(1, 5, QString());
    window.setCellText(2, 5, QString());
    FillRows(101, 101, "spare");
    for (const QString name : {"book.csv", "book.vcf"}) {
        prompts.FileName = dir.filePath(name);
        window.exportToFile();
        EXPECT_TRUE(prompts.Questions.isEmpty()) << "only a .npb file is checked for the handset";
        QFile file(prompts.FileName);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_FALSE(file.readAll().contains("spare"));

        FillRows(1, 101, "changed");
        prompts.Answers = {true};
        window.importFromFile();
        prompts.Questions.clear();
        EXPECT_EQ(window.cellText(1, 1), QStringLiteral("Жук 1")) << name.toStdString();
        EXPECT_EQ(window.cellText(2, 100), "1100");
        EXPECT_EQ(window.cellText(1, 4), QStringLiteral("Аня"));
        EXPECT_EQ(window.cellText(2, 4), "+71");
        EXPECT_EQ(window.cellText(1, 5), "");
        EXPECT_EQ(window.cellText(2, 5), "");
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
    FillRows(1, 100, "w");
    window.show();
    window.activateWindow();
    for (bool read : {true, false}) {
        SCOPED_TRACE(read ? "during a read" : "during Write All");
        phone.HoldAt(20);
        prompts.Answers = {true, true};
        read ? window.readButton->click() : window.writeAllButton->click();
        ASSERT_TRUE(phone.WaitUntilHeld());
        window.selectRow(99);
        prompts.Questions.clear();
        prompts.Answers = {true, true, true};
        for (const char* keys : {"Ctrl+U", "Ctrl+E", "Ctrl+I", "Ctrl+Shift+E", "Ctrl+Shift+W"})
            QTest::keySequence(&window, QKeySequence(keys));
        for (QAction* action : {window.updateRecordAction, window.editRecordAction, window.deleteRecordAction,
                                window.importAction, window.exportAction, window.writeChangesAction}) {
            EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
            EXPECT_EQ(action->toolTip(), "A transfer with the phone is running");
            action->trigger();
        }
        EXPECT_TRUE(prompts.Questions.isEmpty()) << prompts.Questions.join('|').toStdString();
        EXPECT_TRUE(prompts.Filters.isEmpty());
        phone.Release();
        ASSERT_TRUE(phone.WaitUntilIdle());
        EXPECT_TRUE(window.isVisible());
    }
    EXPECT_EQ(Reads().size(), 100u);
    const std::vector<HostCall> written = Writes();
    ASSERT_EQ(written.size(), 100u) << "each record once: nothing went out between";
    EXPECT_EQ(written[98].name, "N98\xC6") << "record 99 as it was read";
    EXPECT_EQ(window.cellText(1, 99), fromWin1251("N98\xC6"));
    EXPECT_TRUE(window.updateRecordAction->isEnabled());
    EXPECT_EQ(window.updateRecordAction->toolTip(), "Update record in Phone");
}

// The phone column keeps its designed width; a number it cuts is shown whole
// where the mouse rests on it, and one that fits gets no tip.
TEST_F(PhonebookWindowTest, CutNumberShowsWholeInTooltip)
{
    const QString longNumber = QStringLiteral("+123456789012345678901234567890");
    window.setCellText(2, 1, longNumber);
    window.setCellText(2, 2, QStringLiteral("2345678"));
    window.show();
    QTableWidget& grid = *window.findChild<QTableWidget*>("recordGrid");
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
        return !window.writeChangesAction->isEnabled()
            && window.writeChangesAction->toolTip() == "Read the phonebook from the phone first";
    };
    EXPECT_TRUE(disabledWithReason());
    EXPECT_TRUE(window.recordMenu->actions().contains(window.writeChangesAction));
    EXPECT_TRUE(window.recordMenu->toolTipsVisible());
    EXPECT_EQ(window.writeChangesAction->shortcut(), QKeySequence("Ctrl+Shift+W"));

    phone.AnswerOnly(60);
    Run(&PhonebookWindow::readFromPhone);
    EXPECT_TRUE(disabledWithReason()) << "a read that stopped half-way";
    Run(&PhonebookWindow::writeChangesToPhone);
    EXPECT_EQ(Reads().size(), 61u);
    EXPECT_TRUE(Writes().empty());
    EXPECT_TRUE(prompts.Questions.isEmpty());

    phone.AnswerOnly(-1);
    Run(&PhonebookWindow::readFromPhone);
    EXPECT_TRUE(window.writeChangesAction->isEnabled());
    phone.AnswerOnly(60);
    Run(&PhonebookWindow::readFromPhone);
    EXPECT_TRUE(disabledWithReason()) << "the rows left empty say nothing of the phone";
}

TEST_F(PhonebookWindowTest, RowsDifferentFromThePhoneAreMarkedHoweverTheyChanged)
{
    Run(&PhonebookWindow::readFromPhone);
    EXPECT_EQ(window.cellText(0, 7), "7");
    window.setCellText(1, 7, "edited");
    EXPECT_EQ(window.cellText(0, 7), QStringLiteral("7 •"));
    EXPECT_FALSE(window.recordGrid->verticalHeaderItem(6)->toolTip().isEmpty());
    window.setCellText(1, 7, fromWin1251("N6\xC6") + QString(13, ' ')); // back as read, padded as the editor pads
    EXPECT_EQ(window.cellText(0, 7), "7");

    QTemporaryDir dir;
    prompts.FileName = dir.filePath("book.csv");
    Put(prompts.FileName, "location,name,number\n3,N2\xD0\x96,+2\n4,other,+3\n");
    prompts.Answers = {true};
    window.importFromFile();
    EXPECT_EQ(window.cellText(0, 3), "3") << "imported as the phone holds it";
    EXPECT_EQ(window.cellText(0, 4), QStringLiteral("4 •"));
    EXPECT_EQ(window.cellText(0, 5), QStringLiteral("5 •")) << "emptied by the import";
    EXPECT_EQ(window.cellText(0, 101), "");
}

TEST_F(PhonebookWindowTest, WriteChangesWritesOnlyTheMarkedRowsThenResets)
{
    Run(&PhonebookWindow::readFromPhone);
    window.setCellText(1, 3, QStringLiteral("Ёлка с очень длинным именем"));
    window.setCellText(2, 50, "+7 495");
    window.setCellText(1, 100, QString());
    window.setCellText(2, 100, QString());

    prompts.Answers = {true, true};
    window.writeChangesAction->trigger();
    EXPECT_FALSE(window.readButton->isEnabled());
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
    EXPECT_EQ(window.progressBar->value(), window.progressBar->maximum());
    EXPECT_TRUE(BulkButtonsEnabled());
    for (int row : {3, 50, 100})
        EXPECT_EQ(window.cellText(0, row), QString::number(row)) << "the phone holds it as it can: no change left";

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
    window.setCellText(1, 8, "edited");
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
    EXPECT_FALSE(window.writeChangesAction->isEnabled()) << "nothing is known of this phone";
    EXPECT_EQ(window.cellText(0, 8), "8");

    other.serialNumber = "4711082015";
    phone.Model().setState(other);
    prompts.Answers = {true};
    Run(&PhonebookWindow::updateRecordInPhone); // row 1, unchanged: tells which phone is on the cable again
    EXPECT_TRUE(window.writeChangesAction->isEnabled());
    EXPECT_EQ(window.cellText(0, 8), QStringLiteral("8 •"));
}

TEST_F(PhonebookWindowTest, WriteAllAndUpdateTellWhatThePhoneHolds)
{
    FillRows(1, 100, "w");
    prompts.Answers = {true};
    Run(&PhonebookWindow::writeAllToPhone);
    EXPECT_TRUE(window.writeChangesAction->isEnabled());
    window.setCellText(1, 9, "edited");
    window.setCellText(1, 10, "edited");
    EXPECT_EQ(window.cellText(0, 9), QStringLiteral("9 •"));
    window.selectRow(9);
    prompts.Answers = {true};
    Run(&PhonebookWindow::updateRecordInPhone);
    EXPECT_EQ(window.cellText(0, 9), "9");
    EXPECT_EQ(window.cellText(0, 10), QStringLiteral("10 •"));
}

TEST_F(PhonebookWindowTest, RecordsAFailedWriteMayHaveChangedStayMarked)
{
    Run(&PhonebookWindow::readFromPhone);
    phone.AnswerOnly(20);
    prompts.Answers = {true};
    Run(&PhonebookWindow::writeAllToPhone);
    EXPECT_FALSE(window.writeChangesAction->isEnabled()) << "which phone took the records is not known";

    phone.AnswerOnly(-1);
    window.selectRow(50);
    prompts.Answers = {true};
    Run(&PhonebookWindow::updateRecordInPhone);
    ASSERT_TRUE(window.writeChangesAction->isEnabled());
    EXPECT_EQ(window.cellText(0, 1), QStringLiteral("1 •"));
    EXPECT_EQ(window.cellText(0, 21), QStringLiteral("21 •")) << "the failed record may have arrived";
    EXPECT_EQ(window.cellText(0, 22), "22");
    EXPECT_EQ(window.cellText(0, 50), "50");
}
