#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "support/TrapFifo.h"
#include "AppFixture.h"
#include "app/AboutDialog.h"
#include "app/DialledNumbersDialog.h"
#include "app/BackupProgressDialog.h"
#include "backup/BackupContents.h"
#include "backup/HandsetFacts.h"
#include "logo/ui/LogoWindow.h"
#include "logo/LogoTransfer.h"
#include "phonebook/PhonebookTransfer.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "serial/SerialPort.h"
#include "support/TrapFifo.h"
#include "MainWindowControls.h"

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app_ = std::make_unique<AppUnderTest>();
        app_->Main().show();
        QApplication::processEvents();
    }

    MainWindowControls ui() { return MainWindowControls(&app_->Main()); }
    int portNumber() { return app_->Main().portNumber(); }
    // As the user does it: the text replaced key by key.
    void Type(const QString& text)
    {
        ui().portBox->lineEdit()->clear();
        QTest::keyClicks(ui().portBox->lineEdit(), text);
    }

    // As the user does it: an item picked from the list.
    void Choose(int index)
    {
        ui().portBox->setCurrentIndex(index);
        emit ui().portBox->textActivated(ui().portBox->itemText(index));
    }

    // Opens the main window's context menu as a right click does; the menu shown, if any.
    QMenu* OpenContextMenu()
    {
        const QPoint at(5, 5);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, app_->Main().mapToGlobal(at));
        QApplication::sendEvent(&app_->Main(), &event);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }

    // The main window's context menu, its item with this text picked; gives
    // the texts the menu showed.
    QStringList PickFromContextMenu(const QString& text)
    {
        QStringList shown;
        QMenu* menu = OpenContextMenu();
        if (menu == nullptr)
            return shown;
        QAction* picked = nullptr;
        for (QAction* action : menu->actions()) {
            if (!action->isVisible())
                continue;
            shown << action->text();
            if (action->text() == text && action->isEnabled())
                picked = action;
        }
        menu->close();
        if (picked)
            picked->trigger();
        return shown;
    }

    // Whether the context menu's item with this text can be chosen now.
    bool EnabledNow(const QString& text)
    {
        bool enabled = true;
        if (QMenu* menu = OpenContextMenu()) {
            for (QAction* action : menu->actions())
                if (action->text() == text)
                    enabled = action->isEnabled();
            menu->close();
        }
        return enabled;
    }

    std::unique_ptr<AppUnderTest> app_;
};

// The menu's items below the frame log switch.
const QStringList kHandsetItems{"Back up handset…", "Restore handset…", "Last dialled numbers…"};

// Runs drive once the dialog is shown, inside the dialog's own event loop.
class WhenShown : public QObject {
public:
    WhenShown(QWidget& dialog, std::function<void()> drive)
        : drive_(std::move(drive))
    {
        dialog.installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            QTimer::singleShot(0, this, drive_);
        return false;
    }

private:
    std::function<void()> drive_;
};

QStringList FileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

} // namespace

TEST_F(MainWindowTest, OnlyTheExactPortNamesChangeThePort)
{
    Type("com2");
    EXPECT_EQ(portNumber(), 1);
    Choose(1);
    EXPECT_EQ(portNumber(), 2);
    Type("Com4");
    EXPECT_EQ(portNumber(), 4);
    Type("Com5");
    EXPECT_EQ(ui().portBox->currentText(), "Com5");
    EXPECT_EQ(portNumber(), 4);
    Type(" Com3");
    EXPECT_EQ(portNumber(), 4);
    EXPECT_TRUE(app_->prompts.Notices.isEmpty()) << app_->prompts.Notices.join("|").toStdString();
}

// Typed with the focus in the box, as a user does: nothing completes the text.
TEST_F(MainWindowTest, TypedTextIsNeitherCompletedNorMatchedWithoutItsCase)
{
    ui().portBox->setFocus();
    Type("Com");
    EXPECT_EQ(ui().portBox->currentText(), "Com");
    Type("com2");
    QTest::keyClick(ui().portBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(ui().portBox->currentText(), "com2");
    EXPECT_EQ(portNumber(), 1);
}

// A job has the port open: another port is refused with one message, and
// the box shows the port in use again, whether typed or picked.
TEST_F(MainWindowTest, PortChangedWhileAJobRunsIsRefusedOnceAndTheBoxShowsThePortInUse)
{
    Choose(1);
    ui().connectButton->click();
    Type("Com3");
    QTest::keyClick(ui().portBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(app_->prompts.Notices, QStringList{"Can't perform this operation when port is open"});
    EXPECT_EQ(ui().portBox->currentText(), "Com2");
    Choose(3);
    EXPECT_EQ(app_->prompts.Notices.size(), 2);
    EXPECT_EQ(ui().portBox->currentText(), "Com2");
    ASSERT_TRUE(app_->WaitUntilIdle());
    EXPECT_EQ(portNumber(), 2);
    EXPECT_EQ(app_->prompts.Notices.size(), 2) << app_->prompts.Notices.join('|').toStdString();
    Choose(0);
    EXPECT_EQ(portNumber(), 1) << "once the job is over the port can change";
}

TEST_F(MainWindowTest, TypedTextIsStoredAtCloseEvenWhenItNamesNoPort)
{
    Type("Com5");
    EXPECT_TRUE(app_->Main().close());
    QSettings store(app_->StorePath(), QSettings::IniFormat);
    EXPECT_EQ(store.value("TFMain/cboxCOM_Text").toString(), "Com5");
}

TEST_F(MainWindowTest, AboutBoxOpensModally)
{
    bool shownModal = false;
    AboutDialog& about = app_->Main().aboutDialog();
    QTimer::singleShot(0, [&] {
        shownModal = about.isVisible() && QApplication::activeModalWidget() == &about;
        about.accept();
    });
    ui().aboutButton->click();
    EXPECT_TRUE(shownModal);
    EXPECT_FALSE(about.isVisible());
}

// "Last dialled numbers…" reads the handset's own number and its last five
// dialled numbers into a dialog that says so meanwhile; Copy takes the chosen
// one, and the keyboard alone gets through it.
TEST_F(MainWindowTest, LastDialledNumbersAreReadFromThePhoneIntoTheirDialog)
{
    DialledNumbersDialog& dialog = app_->Main().dialledNumbersDialog();
    auto* own = dialog.findChild<QLineEdit*>("ownNumberEdit");
    auto* list = dialog.findChild<QListWidget*>("numberList");
    auto* status = dialog.findChild<QLabel*>("statusLabel");
    auto* copy = dialog.findChild<QPushButton*>("copyButton");
    ASSERT_TRUE(own && list && status && copy);
    QString statusWhileReading;
    bool copyWhileReading = true;
    QStringList lines;
    QWidget* focusAfterTab = nullptr;
    const WhenShown drive(dialog, [&] {
        statusWhileReading = status->text();
        copyWhileReading = copy->isEnabled();
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isReading(); }, 10000));
        for (int row = 0; row < list->count(); ++row)
            lines << list->item(row)->text();
        EXPECT_EQ(dialog.focusWidget(), list);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Tab);
        focusAfterTab = dialog.focusWidget();
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Space);
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(PickFromContextMenu("Last dialled numbers…"), QStringList{"Log frames to a file…"} + kHandsetItems);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(statusWhileReading, "Reading the numbers from the phone…");
    EXPECT_FALSE(copyWhileReading);
    EXPECT_EQ(own->text(), "+4957654321");
    EXPECT_EQ(lines, (QStringList{"0951234", "112", "88125550199", "+4951234567", "0957778899"}));
    EXPECT_EQ(focusAfterTab, copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "112");
}

// A phone out of reach is told as every command tells it, and the dialog
// says it has nothing to show.
TEST_F(MainWindowTest, LastDialledNumbersOutOfReachAreToldAsACommandTellsIt)
{
    ASSERT_EQ(app_->sim.Stop(), 0);
    DialledNumbersDialog& dialog = app_->Main().dialledNumbersDialog();
    QString status;
    const WhenShown drive(dialog, [&] {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isReading(); }, 10000));
        status = dialog.findChild<QLabel*>("statusLabel")->text();
        dialog.reject();
    });
    app_->Main().showDialledNumbers();
    ASSERT_TRUE(app_->Click(ui().connectButton));
    ASSERT_EQ(app_->prompts.Notices.size(), 2);
    EXPECT_EQ(app_->prompts.Notices[0], app_->prompts.Notices[1]);
    EXPECT_EQ(status, "The numbers could not be read from the phone.");
}

// The phonebook window takes a number from the same dialog: "Use" puts the
// chosen one into the selected record, which then differs from the phone's.
TEST_F(MainWindowTest, PhonebookTakesALastDialledNumberIntoTheSelectedRecord)
{
    app_ = std::make_unique<AppUnderTest>(std::vector<std::string>{"--own-number", ""});
    PhonebookWindow& book = app_->Main().phonebookWindow();
    book.readFromPhone();
    ASSERT_TRUE(app_->WaitUntilIdle());
    const PhonebookRow before = book.records().row(7);
    book.selectLocation(7);
    DialledNumbersDialog& dialog = app_->Main().dialledNumbersDialog();
    QString own;
    const WhenShown drive(dialog, [&] {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.isReading(); }, 10000));
        own = dialog.findChild<QLineEdit*>("ownNumberEdit")->text();
        dialog.findChild<QListWidget*>("numberList")->setCurrentRow(3);
        dialog.findChild<QPushButton*>("useButton")->click();
    });
    book.findChild<QAction*>("dialledNumberAction")->trigger();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(own, "not stored");
    EXPECT_EQ(book.records().row(7), (PhonebookRow{before.name, "+4951234567"}));
    EXPECT_EQ(book.records().headerData(7, Qt::Vertical).toString(), "8 •");
}

TEST_F(MainWindowTest, StartupLogoTwiceKeepsOneWindowAndTheMainWindowUsable)
{
    ui().logoButton->click();
    ui().logoButton->click();
    QApplication::processEvents();
    int logoWindows = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        logoWindows += qobject_cast<LogoWindow*>(window) != nullptr ? 1 : 0;
    EXPECT_EQ(logoWindows, 1);
    LogoWindow& logo = app_->Main().logoWindow();
    EXPECT_TRUE(logo.isVisible());
    EXPECT_FALSE(logo.isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    logo.close();
}

TEST_F(MainWindowTest, FrameLogSwitchLogsTheLineAndStaysOnUntilStopped)
{
    const QString log = app_->dir.filePath("frames.log");
    app_->prompts.FileName = log;
    EXPECT_EQ(PickFromContextMenu("Log frames to a file…"), QStringList{"Log frames to a file…"} + kHandsetItems);
    ASSERT_TRUE(app_->Click(ui().connectButton));
    const QStringList first = FileLines(log);
    const QRegularExpression line(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} (TX|RX)( [0-9A-F]{2})+( \(.+\))?$)");
    ASSERT_FALSE(first.isEmpty());
    for (const QString& text : first)
        EXPECT_TRUE(line.match(text).hasMatch()) << text.toStdString();
    EXPECT_TRUE(first.filter(" TX ").size() > 0 && first.filter(" RX ").size() > 0);

    app_->Restart();
    ASSERT_TRUE(app_->Click(ui().connectButton));
    const int afterRestart = FileLines(log).size();
    EXPECT_GT(afterRestart, first.size());

    EXPECT_EQ(PickFromContextMenu("Stop logging"), QStringList{"Stop logging"} + kHandsetItems);
    app_->Restart();
    ASSERT_TRUE(app_->Click(ui().connectButton));
    EXPECT_EQ(FileLines(log).size(), afterRestart);
    EXPECT_EQ(app_->prompts.Notices, QStringList{});
}

// A file that cannot be written any more is reported once at start, and
// logging is off from then on.
TEST_F(MainWindowTest, FrameLogFileGoneAtStartIsReportedOnce)
{
    QDir(app_->dir.path()).mkdir("logs");
    const QString log = app_->dir.filePath("logs/frames.log");
    app_->prompts.FileName = log;
    PickFromContextMenu("Log frames to a file…");
    ASSERT_TRUE(QDir(app_->dir.filePath("logs")).removeRecursively());

    app_->Restart();
    ASSERT_EQ(app_->prompts.Notices.size(), 1);
    EXPECT_TRUE(app_->prompts.Notices[0].startsWith("Cannot log frames to " + log + ": "));
    EXPECT_EQ(PickFromContextMenu({}), QStringList{"Log frames to a file…"} + kHandsetItems);
    app_->Restart();
    EXPECT_EQ(app_->prompts.Notices.size(), 1);
}

// Choosing a named pipe that nothing reads is refused at once.
TEST_F(MainWindowTest, FrameLogToAPipeNothingReadsIsRefusedWithoutWaiting)
{
    TrapFifo pipe(app_->dir.filePath("frames.fifo"), std::chrono::seconds(2));
    ASSERT_TRUE(pipe.Made());
    app_->prompts.FileName = pipe.Path();
    PickFromContextMenu("Log frames to a file…");
    EXPECT_FALSE(pipe.Released());
    EXPECT_EQ(app_->prompts.Notices, QStringList{"Cannot log frames to " + pipe.Path() + ": nothing reads this named pipe"});
    EXPECT_EQ(PickFromContextMenu({}), QStringList{"Log frames to a file…"} + kHandsetItems);
}

// The whole handset through the right-click menu: backed up into a new
// folder, then written back onto the handset changed meanwhile, once the
// questions are answered; a backup of another serial number asks first.
TEST_F(MainWindowTest, BackupAndRestoreFromTheMenuGiveTheHandsetBack)
{
    // The parts each progress window shows, from the moment it comes up.
    QStringList partsShown;
    struct PartWatch : QObject {
        QStringList& parts;
        explicit PartWatch(QStringList& shown)
            : parts(shown)
        { }
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            auto* progress = qobject_cast<BackupProgressDialog*>(watched);
            if (progress && event->type() == QEvent::Show && !progress->property("watched").toBool()) {
                progress->setProperty("watched", true);
                connect(progress, &BackupProgressDialog::partStarted, this, [this](const QString& part) { parts << part; });
            }
            return false;
        }
    } watch(partsShown);
    qApp->installEventFilter(&watch);
    // The handset's record 1 and logo block 0, as they are now.
    const auto handsetHolds = [this] {
        std::pair<PhonebookEntry, LogoBlock> held;
        EXPECT_TRUE(app_->RunOnLink([&held](JobContext& job) {
            held.first = *readRecord(job.link(), 1);
            held.second = *readLogoBlock(job.link(), 0);
        }));
        return held;
    };
    const QString backups = app_->dir.filePath("backups");
    ASSERT_TRUE(QDir().mkdir(backups));
    app_->prompts.FileName = backups;
    EXPECT_EQ(PickFromContextMenu("Back up handset…"), QStringList{"Log frames to a file…"} + kHandsetItems);
    EXPECT_FALSE(EnabledNow("Back up handset…"));
    EXPECT_FALSE(EnabledNow("Last dialled numbers…"));
    ASSERT_TRUE(app_->WaitUntilIdle());
    const QStringList made = QDir(backups).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(made.size(), 1);
    const QString folder = QDir(backups).filePath(made.first());
    EXPECT_EQ(app_->prompts.Notices, QStringList{"The handset was backed up into " + folder + "."});
    EXPECT_EQ(partsShown,
              (QStringList{"Reading version and serial number", "Reading own and dialled numbers", "Reading phonebook",
                           "Reading logo"}));
    BackupContents backup = readBackup(folder);
    EXPECT_EQ(backup.facts.serialNumber, ui().serialNumberLabel->text());
    EXPECT_EQ(backup.phonebook[1], handsetHolds().first);

    ASSERT_TRUE(app_->RunOnLink([](JobContext& job) {
        ASSERT_TRUE(writeRecord(job.link(), 1, {"Changed", "555"}));
        ASSERT_TRUE(writeLogoBlock(job.link(), 0, LogoBlock{}));
    }));
    const HandsetFacts ours = backup.facts;
    backup.facts.serialNumber = "1111111111";
    QFile facts(QDir(folder).filePath("handset.txt"));
    ASSERT_TRUE(facts.open(QIODevice::WriteOnly));
    facts.write(formatHandsetFacts(backup.facts, QDateTime::currentDateTime()));
    facts.close();
    app_->prompts.FileName = folder;
    app_->prompts.Notices.clear();
    PickFromContextMenu("Restore handset…");
    ASSERT_TRUE(app_->WaitUntilIdle());
    EXPECT_EQ(app_->prompts.Questions, QStringList{"This backup is of the handset 1111111111, and the handset on the "
                                                   "cable is " + ours.serialNumber + ". Restore it onto this handset all the same?"});
    EXPECT_EQ(handsetHolds().first, (PhonebookEntry{"Changed", "555"}));

    app_->prompts.Answers = {true, true};
    partsShown.clear();
    PickFromContextMenu("Restore handset…");
    // The questions come once the handset said which it is; then the restore runs.
    ASSERT_TRUE(QTest::qWaitFor([&] { return app_->prompts.Questions.size() == 3; }, 10000));
    ASSERT_TRUE(app_->WaitUntilIdle());
    EXPECT_EQ(app_->prompts.Questions.last(), "Do You really want to write the phonebook and logo of this backup into Phone?");
    EXPECT_EQ(app_->prompts.Notices, QStringList{"The handset was restored from " + folder + "."});
    EXPECT_EQ(partsShown, (QStringList{"Writing logo", "Writing phonebook", "Resetting handset"}));
    const auto [record, block] = handsetHolds();
    EXPECT_EQ(record, backup.phonebook[1]);
    EXPECT_EQ(block, backup.logo[0]);
}
