// The phonebook window and the main window against the simulated handset:
// whole-book round trips, a dead line, and the phonebook file.
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "AppFixture.h"
#include "PhonebookSimLog.h"
#include "widgets/LedProgressBar.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "phonebook/PhonebookControls.h"
#include "sim/HandsetStateFile.h"

namespace {

const QString kNoAnswer = QStringLiteral("No answer from phone!  Please, check cable connection!");

struct BookRow {
    QString name;
    QString number;
};

// 100 rows that between them use every digit code, Latin and Cyrillic
// letters (Э Ю Я sit apart from the rest of the alphabet in the handset's
// set), a full 16-character name, a full 30-digit number and empty records.
std::vector<BookRow> SampleBook()
{
    std::vector<BookRow> book(PhonebookWindow::kRecordRows);
    book[0] = {"Anna Smith", "+4951234567"};
    book[1] = {QString::fromUtf8("Эмма Юрьевна Ян"), "1234567890*#pw+"};
    book[2] = {"Sixteen chars ok", "+1234567890*#pw+1234567890*#pw"};
    book[3] = {"", ""};
    book[4] = {"O'Brien", "12 34-56P7"};
    book[5] = {QString::fromUtf8("Я"), "0"};
    book[6] = {"  Padded  ", "  555  "};
    const QString digits = "1234567890*#pw+";
    const QStringList words = {QString::fromUtf8("эхо юла яма %1"), "Contact %1", QString::fromUtf8("Абонент %1"),
                               QString::fromUtf8("ЖЁЩ щука ъ %1")};
    for (int i = 7; i < PhonebookWindow::kRecordRows; ++i) {
        if ((i + 1) % 10 == 0)
            continue; // every tenth record stays empty
        QString number;
        for (int k = 0; k <= i % 30; ++k)
            number += digits[(i + k) % digits.size()];
        book[static_cast<std::size_t>(i)] = {words[i % words.size()].arg(i), number};
    }
    return book;
}

// What the handset gives back for a written name: trimmed and cut to 16; Ё,
// which the handset cannot store, is written as Е.
QString NameAsReadBack(const QString& written)
{
    QString name = written.trimmed().left(16);
    for (QChar& c : name) {
        if (c == QChar(0x0401))
            c = QChar(0x0415);
    }
    return name;
}

// Characters without a digit code come back as spaces.
QString NumberAsReadBack(const QString& written)
{
    QString number = written.trimmed().left(30);
    for (QChar& c : number)
        if (!QStringLiteral("1234567890*#pw+").contains(c))
            c = ' ';
    return number;
}

void FillTable(PhonebookWindow& form, const std::vector<BookRow>& book)
{
    for (int location = 0; location < PhonebookWindow::kRecordRows; ++location) {
        const BookRow& row = book[static_cast<std::size_t>(location)];
        form.records().setRow(location, {row.name, row.number});
    }
}

void ExpectTableReadBack(const PhonebookWindow& form, const std::vector<BookRow>& written,
                         const std::vector<int>& locations)
{
    for (int location : locations) {
        const BookRow& w = written[static_cast<std::size_t>(location)];
        EXPECT_EQ(form.records().row(location).name, NameAsReadBack(w.name)) << "location " << location;
        EXPECT_EQ(form.records().row(location).number, NumberAsReadBack(w.number)) << "location " << location;
    }
}

void ExpectTransferButtonsEnabled(const PhonebookWindow& form)
{
    const PhonebookWindowControls ui(&form);
    for (const QPushButton* button : {ui.readButton, ui.writeAllButton, ui.saveButton, ui.loadButton, ui.okButton})
        EXPECT_TRUE(button->isEnabled()) << button->text().toStdString();
}

std::vector<std::uint8_t> RecordDigits(const handset::Record& record)
{
    return {record.begin() + handset::kRecordDigits, record.begin() + handset::kRecordName};
}

std::vector<std::uint8_t> RecordName(const handset::Record& record)
{
    return {record.begin() + handset::kRecordName, record.begin() + handset::kRecordGroup};
}

handset::HandsetState StoppedSimState(AppUnderTest& app)
{
    EXPECT_EQ(app.sim.Stop(), 0);
    const std::optional<handset::HandsetState> state = handset::loadStateFile(app.sim.StatePath());
    EXPECT_TRUE(state);
    return state.value_or(handset::HandsetState{});
}

std::vector<std::uint8_t> WriteRequestHead(std::uint8_t location)
{
    return {0x10, 0x08, 0x03, 0x00, 0x07, 0x1F, 0x7F, 0xF0, 0x00, location, 0x00, 0x00, 0x00, 0x21};
}

} // namespace

TEST(PhonebookTransfer, WholeBookWrittenAndReadBackThroughTheWindows)
{
    AppUnderTest app;
    PhonebookWindow& form = app.Main().phonebookWindow();
    const std::vector<BookRow> book = SampleBook();
    FillTable(form, book);

    // The sample holds what the handset does not keep; the user goes on all the same.
    app.prompts.Answers = {true, true};
    ASSERT_TRUE(app.Click(PhonebookWindowControls(&form).writeAllButton));
    ASSERT_TRUE(app.prompts.Notices.isEmpty()) << app.prompts.Notices.join("|").toStdString();
    ASSERT_EQ(app.prompts.Questions.size(), 2);
    EXPECT_EQ(app.prompts.Questions[0], "Do You really want to write current phonebook into Phone?");
    EXPECT_TRUE(app.prompts.Questions[1].startsWith("The handset will not keep these records as they are:"));

    FillTable(form, std::vector<BookRow>(PhonebookWindow::kRecordRows, BookRow{"stale", "999"}));
    ASSERT_TRUE(app.Click(PhonebookWindowControls(&form).readButton));
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << app.prompts.Notices.join("|").toStdString();
    std::vector<int> all(PhonebookWindow::kRecordRows);
    std::iota(all.begin(), all.end(), 0);
    ExpectTableReadBack(form, book, all);
    EXPECT_EQ(form.records().row(1).name, QString::fromUtf8("Эмма Юрьевна Ян"));
    EXPECT_EQ(form.records().row(4).name, "O'Brien");
    EXPECT_EQ(form.records().row(5).name, QString::fromUtf8("Я"));
    EXPECT_EQ(form.records().row(4).number, "12 34 56 7");
    EXPECT_EQ(PhonebookWindowControls(&form).progressBar->value(), 99);
    ExpectTransferButtonsEnabled(form);

    const handset::HandsetState state = StoppedSimState(app);
    const auto& pb = state.phonebook;
    // Э Ю Я land on 0xC1 0xC2 0xC3, small letters from 0xA3 on; a zero ends the name.
    EXPECT_EQ(RecordName(pb[1]),
              (std::vector<std::uint8_t>{0xC1, 0xAF, 0xAF, 0xA3, 0x20, 0xC2, 0xB3, 0xBF, 0xA8, 0xA5, 0xB0, 0xA3, 0x20,
                                         0xC3, 0xB0, 0x00}));
    EXPECT_EQ(pb[1][0], 15);
    EXPECT_EQ(RecordDigits(pb[1]),
              (std::vector<std::uint8_t>{0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(pb[2][0], 30);
    EXPECT_EQ(RecordDigits(pb[2]),
              (std::vector<std::uint8_t>{0xF1, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF, 0x12, 0x34, 0x56, 0x78, 0x9A,
                                         0xBC, 0xDE}));
    EXPECT_EQ(
        RecordName(pb[2]),
        (std::vector<std::uint8_t>{'S', 'i', 'x', 't', 'e', 'e', 'n', ' ', 'c', 'h', 'a', 'r', 's', ' ', 'o', 'k'}));
    EXPECT_EQ(pb[3][0], 0);
    EXPECT_EQ(RecordName(pb[3]), std::vector<std::uint8_t>(16, 0));
    EXPECT_EQ(RecordDigits(pb[4]),
              (std::vector<std::uint8_t>{0x12, 0x03, 0x40, 0x56, 0x07, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(pb[4][handset::kRecordName + 1], 0x27);
    // Surrounding spaces never reach the handset.
    EXPECT_EQ(pb[6][0], 3);
    EXPECT_EQ(pb[6][handset::kRecordName], 'P');
    EXPECT_EQ(pb[6][handset::kRecordName + 6], 0x00);
    for (const handset::Record& record : pb)
        EXPECT_EQ(record[handset::kRecordGroup], 0x05);
}

TEST(PhonebookTransfer, RecordsSurviveThePacedLineWithTurnaround)
{
    // Each paced write takes about a third of a second, and "Write All" always
    // writes 100 records: six single-record updates keep the test short, and
    // the full book is timed in bench_phonebook.
    AppUnderTest app({"--pace", "--turnaround", "20"});
    PhonebookWindow& form = app.Main().phonebookWindow();
    const std::vector<BookRow> book = SampleBook();
    FillTable(form, book);
    const std::vector<int> locations = {0, 1, 2, 3, 4, 99};
    for (int location : locations) {
        app.prompts.Answers = {true, true};
        form.selectLocation(location);
        form.updateRecordInPhone();
        ASSERT_TRUE(app.WaitUntilIdle());
    }
    ASSERT_TRUE(app.prompts.Notices.isEmpty()) << app.prompts.Notices.join("|").toStdString();

    FillTable(form, std::vector<BookRow>(PhonebookWindow::kRecordRows, BookRow{"stale", "999"}));
    ASSERT_TRUE(app.Click(PhonebookWindowControls(&form).readButton));
    ASSERT_TRUE(app.prompts.Notices.isEmpty()) << app.prompts.Notices.join("|").toStdString();
    ExpectTableReadBack(form, book, locations);
    // Rows not written keep what the handset already held, so they were read, not left stale.
    for (const PhonebookRow& row : form.records().rows())
        EXPECT_NE(row.name, "stale");

    const handset::HandsetState state = StoppedSimState(app);
    EXPECT_EQ(state.phonebook[1][handset::kRecordName], 0xC1);
    EXPECT_EQ(state.phonebook[2][0], 30);
}

TEST(PhonebookTransfer, DeadLineEmptiesTheTableWithOneMessage)
{
    AppUnderTest app({"--silent"});
    PhonebookWindow& form = app.Main().phonebookWindow();
    FillTable(form, SampleBook());
    ASSERT_TRUE(app.Click(PhonebookWindowControls(&form).readButton));
    EXPECT_EQ(app.prompts.Notices, QStringList{kNoAnswer});
    for (const PhonebookRow& row : form.records().rows())
        EXPECT_TRUE(row.name.isEmpty() && row.number.isEmpty());
    EXPECT_EQ(PhonebookWindowControls(&form).progressBar->value(), 0);
    ExpectTransferButtonsEnabled(form);
}

TEST(PhonebookTransfer, DeadLineStopsWriteAllAtTheFirstRecordButStillResets)
{
    AppUnderTest app({"--silent", "--verbose"});
    PhonebookWindow& form = app.Main().phonebookWindow();
    const std::vector<BookRow> book = SampleBook();
    FillTable(form, book);
    app.prompts.Answers = {true, true};
    ASSERT_TRUE(app.Click(PhonebookWindowControls(&form).writeAllButton));

    ASSERT_FALSE(app.prompts.Notices.isEmpty());
    EXPECT_EQ(app.prompts.Notices.front(), kNoAnswer);
    ExpectTransferButtonsEnabled(form);
    // The table is the only copy of the book: a failed write must not touch it.
    EXPECT_EQ(form.records().row(0).name, "Anna Smith");
    EXPECT_EQ(form.records().row(99).number, book[99].number);

    app.sim.Stop();
    const std::vector<std::uint8_t> heard = BytesHeardBySim(app.sim.ErrorOutput());
    EXPECT_EQ(TimesHeard(heard, WriteRequestHead(0)), 10);
    EXPECT_EQ(TimesHeard(heard, WriteRequestHead(1)), 0);
    EXPECT_GE(TimesHeard(heard, {0xE9, 0x03, 0xE5, 0x43, 0x00, 0x00}), 1) << "no software reset sent";
}

TEST(PhonebookTransfer, SavedFileLoadsBackIntoTheSameTable)
{
    AppUnderTest app({"--silent"});
    PhonebookWindow& form = app.Main().phonebookWindow();
    std::vector<BookRow> book = SampleBook();
    book[9] = {QString(16, QChar(0x042F)), QString(30, '#')};
    FillTable(form, book);
    QTemporaryDir dir;
    const QString path = dir.filePath("book.npb");
    app.prompts.FileName = path;
    app.prompts.Answers = {true};
    ASSERT_TRUE(app.Click(PhonebookWindowControls(&form).saveButton));
    ASSERT_EQ(QFileInfo(path).size(), 6600);

    FillTable(form, std::vector<BookRow>(PhonebookWindow::kRecordRows, BookRow{"stale", "999"}));
    ASSERT_TRUE(app.Click(PhonebookWindowControls(&form).loadButton));
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << app.prompts.Notices.join("|").toStdString();
    for (int location = 0; location < PhonebookWindow::kRecordRows; ++location) {
        const BookRow& row = book[static_cast<std::size_t>(location)];
        EXPECT_EQ(form.records().row(location), (PhonebookRow{row.name, row.number})) << "location " << location;
    }
}

TEST(PhonebookTransfer, WriteChangesSendsOnlyTheEditedRecordsThenResets)
{
    AppUnderTest app({"--verbose"});
    PhonebookWindow& form = app.Main().phonebookWindow();
    ASSERT_TRUE(app.Click(PhonebookWindowControls(&form).readButton));
    ASSERT_TRUE(app.prompts.Notices.isEmpty()) << app.prompts.Notices.join("|").toStdString();
    form.records().setRow(1, {"Second", form.records().row(1).number});
    form.records().setRow(39, {form.records().row(39).name, "+7123"});
    form.records().setRow(98, {"Last but one", form.records().row(98).number});
    EXPECT_TRUE(form.records().changed(39));

    app.prompts.Answers = {true};
    PhonebookWindowControls(&form).writeChangesAction->trigger();
    ASSERT_TRUE(app.WaitUntilIdle());
    ASSERT_TRUE(app.prompts.Notices.isEmpty()) << app.prompts.Notices.join("|").toStdString();
    EXPECT_FALSE(form.records().changed(39));

    const handset::HandsetState state = StoppedSimState(app);
    const std::vector<std::uint8_t> heard = BytesHeardBySim(app.sim.ErrorOutput());
    int writes = 0;
    for (int location = 0; location < PhonebookWindow::kRecordRows; ++location)
        writes += TimesHeard(heard, WriteRequestHead(static_cast<std::uint8_t>(location)));
    EXPECT_EQ(writes, 3);
    for (int location : {1, 39, 98})
        EXPECT_EQ(TimesHeard(heard, WriteRequestHead(static_cast<std::uint8_t>(location))), 1) << location;
    EXPECT_EQ(TimesHeard(heard, {0xE9, 0x03, 0xE5, 0x43, 0x00, 0x00}), 1) << "one software reset";
    EXPECT_EQ(state.phonebook[1], handset::makeRecord("0951234", "Second"));
    EXPECT_EQ(state.phonebook[98], handset::makeRecord("", "Last but one"));
}

TEST(PhonebookTransfer, WriteChangesTellsAnotherHandsetOnTheCableAndWritesNothing)
{
    AppUnderTest app({"--serial", "4711082015"});
    PhonebookWindow& form = app.Main().phonebookWindow();
    ASSERT_TRUE(app.Click(PhonebookWindowControls(&form).readButton));
    ASSERT_TRUE(PhonebookWindowControls(&form).writeChangesAction->isEnabled());
    form.records().setRow(4, {"Edited", form.records().row(4).number});

    SimProcess other({"--verbose", "--serial", "1234567890"});
    for (int n = 1; n <= 4; ++n)
        app.Settings().open()->setValue(QString("Ports/COM%1").arg(n), QString::fromStdString(other.DevicePath()));
    app.prompts.Answers = {true};
    PhonebookWindowControls(&form).writeChangesAction->trigger();
    ASSERT_TRUE(app.WaitUntilIdle());
    ASSERT_EQ(app.prompts.Notices.size(), 1);
    EXPECT_TRUE(app.prompts.Notices[0].contains("its serial number is 1234567890, not 4711082015"))
        << app.prompts.Notices[0].toStdString();
    EXPECT_FALSE(PhonebookWindowControls(&form).writeChangesAction->isEnabled());
    other.Stop();
    const std::vector<std::uint8_t> heard = BytesHeardBySim(other.ErrorOutput());
    EXPECT_EQ(TimesHeard(heard, WriteRequestHead(4)), 0);
    EXPECT_EQ(TimesHeard(heard, {0xE9, 0x03, 0xE5, 0x43, 0x00, 0x00}), 0);
}
