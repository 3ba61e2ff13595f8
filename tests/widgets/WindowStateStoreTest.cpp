#include "widgets/WindowStateStore.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QScreen>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QSize>
#include <QTemporaryDir>
#include <QWidget>

#include <gmock/gmock.h>

#include <optional>

#include "files/SettingsStore.h"

#include "support/ScratchMount.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A main window as the program has it: a port box and one storage.
class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(const SettingsStore& settings)
    {
        cboxCOM = new QComboBox(this);
        cboxCOM->setObjectName("cboxCOM");
        cboxCOM->setEditable(true);
        cboxCOM->addItems({"Com1", "Com2", "Com3", "Com4"});
        setGeometry(100, 120, 300, 200);
        store = new WindowStateStore(this, settings);
        store->setMainWindow(true);
        store->setStoredProps({"cboxCOM.Text"});
        connect(store, &WindowPlacement::placementRestored, this, [this] { portAtRestore = cboxCOM->currentText(); });
        store->setErrorHandler([this](const QString& m) { errors << m; });
    }
    ~MainWindow() override { store->ownerDestroying(); }

    bool allowClose = true;
    QComboBox* cboxCOM;
    WindowStateStore* store;
    QString portAtRestore;
    QStringList errors;

protected:
    void closeEvent(QCloseEvent* e) override { e->setAccepted(allowClose); }
};

class SmsWindow : public QDialog {
    Q_OBJECT
public:
    explicit SmsWindow(const SettingsStore& settings)
    {
        ComboBox1 = new QComboBox(this);
        ComboBox1->setObjectName("ComboBox1");
        store = new WindowStateStore(this, settings);
        store->setStoredProps({"ComboBox1.Items"});
    }
    QComboBox* ComboBox1;
    WindowStateStore* store;
};

namespace {

class WindowStateStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        storePath = dir.filePath("store.ini");
        settings.emplace(SettingsStore::inFile(storePath));
    }

    QByteArray Bytes() const
    {
        QFile f(storePath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
    }
    void SetBytes(const QByteArray& bytes)
    {
        QFile f(storePath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QString Value(const QString& key)
    {
        QSettings s(storePath, QSettings::IniFormat);
        return s.value(key).toString();
    }
    void Put(const QString& key, const QVariant& value)
    {
        QSettings s(storePath, QSettings::IniFormat);
        s.setValue(key, value);
    }

    QTemporaryDir dir;
    QString storePath;
    std::optional<SettingsStore> settings;
};

} // namespace

TEST_F(WindowStateStoreTest, FirstRunKeepsTheDesignAndCreatesAnEmptyStoreUntilClosing)
{
    MainWindow w(*settings);
    w.show();
    EXPECT_TRUE(QFile::exists(storePath));
    EXPECT_THAT(QSettings(storePath, QSettings::IniFormat).allKeys(), IsEmpty());
    EXPECT_EQ(w.cboxCOM->currentText(), "Com1");
    EXPECT_EQ(w.portAtRestore, "Com1");
    EXPECT_EQ(w.geometry(), QRect(100, 120, 300, 200));
    w.close();
    EXPECT_EQ(Value("MainWindow/FormVersion"), "0");
    EXPECT_THAT(w.errors, IsEmpty());
}

TEST_F(WindowStateStoreTest, ClosingSavesPlacementAndPortAndANewWindowGetsThemBack)
{
    QRect frame;
    {
        MainWindow w(*settings);
        w.show();
        w.setGeometry(40, 50, 320, 210);
        frame = w.frameGeometry();
        w.cboxCOM->setCurrentText("Com2");
        ASSERT_TRUE(w.close());
    }
    EXPECT_EQ(Value("MainWindow/cboxCOM_Text"), "Com2");
    EXPECT_EQ(Value("MainWindow/FormVersion"), "0");
    EXPECT_EQ(Value("MainWindow/Visible"), "0") << "saved at close, not again at destruction";
    EXPECT_EQ(Value("MainWindow/ShowCmd"), "1");
    EXPECT_EQ(Value("MainWindow/Flags"), "0");
    // The stored rectangle is the whole window, frame included.
    const QString norm = QString("%1,%2,%3,%4")
                             .arg(frame.left())
                             .arg(frame.top())
                             .arg(frame.left() + frame.width())
                             .arg(frame.top() + frame.height());
    EXPECT_EQ(Value("MainWindow/NormPos"), norm);
    const QSize screen = MainWindow(*settings).screen()->geometry().size();
    const QString suffix = QString("(%1x%2)").arg(screen.width()).arg(screen.height());
    EXPECT_EQ(Value("MainWindow/NormPos" + suffix), norm);
    EXPECT_FALSE(Value("MainWindow/MinMaxPos" + suffix).isEmpty());
    EXPECT_EQ(Value("MainWindow/PixelsPerInch"), QString::number(MainWindow(*settings).logicalDpiY()));

    MainWindow again(*settings);
    again.show();
    EXPECT_EQ(again.geometry(), QRect(40, 50, 320, 210));
    EXPECT_EQ(again.cboxCOM->currentText(), "Com2");
    EXPECT_EQ(again.portAtRestore, "Com2") << "the restore hook runs after the values are back";
}

TEST_F(WindowStateStoreTest, PortTextLosesItsSurroundingBlanksBothWays)
{
    {
        MainWindow w(*settings);
        w.show();
        w.cboxCOM->setEditText("Com3  ");
        w.close();
    }
    EXPECT_EQ(Value("MainWindow/cboxCOM_Text"), "Com3");
    Put("MainWindow/cboxCOM_Text", "  Com4 ");
    MainWindow again(*settings);
    again.show();
    EXPECT_EQ(again.cboxCOM->currentText(), "Com4");
}

TEST_F(WindowStateStoreTest, ScreenSizedPositionWinsAndOtherPixelsPerInchAreIgnored)
{
    MainWindow probe(*settings);
    const QSize screen = probe.screen()->geometry().size();
    const QString suffix = QString("(%1x%2)").arg(screen.width()).arg(screen.height());
    Put("MainWindow/NormPos", "1,2,101,102");
    Put("MainWindow/NormPos" + suffix, "10,20,210,170");
    {
        MainWindow w(*settings);
        w.show();
        EXPECT_EQ(w.frameGeometry(), QRect(10, 20, 200, 150));
        w.hide();
    }
    Put("MainWindow/PixelsPerInch", QString::number(probe.logicalDpiY() + 24));
    MainWindow other(*settings);
    other.show();
    EXPECT_EQ(other.geometry(), QRect(100, 120, 300, 200));
}

TEST_F(WindowStateStoreTest, NormPosWithFewerThanFourNumbersKeepsTheCurrentOnes)
{
    QRect designed;
    {
        MainWindow plain(*settings);
        plain.store->setActive(false);
        plain.show();
        designed = plain.frameGeometry();
    }
    Put("MainWindow/NormPos", "50,x");
    MainWindow w(*settings);
    w.show();
    // Left from the store; top, right and bottom as the window's frame stood.
    EXPECT_EQ(w.frameGeometry(), QRect(QPoint(50, designed.top()), designed.bottomRight()));
}

TEST_F(WindowStateStoreTest, StateIsRestoredAndAMinimisedMainWindowIsMinimisedAfterShowing)
{
    Put("MainWindow/ShowCmd", "3");
    {
        MainWindow w(*settings);
        w.show();
        EXPECT_TRUE(w.isMaximized());
        w.hide();
    }
    Put("MainWindow/ShowCmd", "2");
    MainWindow w(*settings);
    w.show();
    EXPECT_FALSE(w.isMinimized()) << "shown normally first";
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isMinimized());
    w.close();
    EXPECT_EQ(Value("MainWindow/ShowCmd"), "2");
}

TEST_F(WindowStateStoreTest, RefusedCloseSavesNothingAndDestructionSavesAsVisible)
{
    {
        MainWindow w(*settings);
        w.show();
        w.allowClose = false;
        w.cboxCOM->setCurrentText("Com3");
        EXPECT_FALSE(w.close());
        EXPECT_TRUE(Value("MainWindow/cboxCOM_Text").isEmpty());
    }
    EXPECT_EQ(Value("MainWindow/cboxCOM_Text"), "Com3");
    EXPECT_EQ(Value("MainWindow/Visible"), "1");
}

TEST_F(WindowStateStoreTest, WindowNeverShownIsNeverSavedAndInactiveStorageTouchesNothing)
{
    {
        MainWindow never(*settings);
    }
    EXPECT_FALSE(QFile::exists(storePath));
    MainWindow w(*settings);
    w.store->setActive(false);
    w.show();
    w.close();
    EXPECT_FALSE(QFile::exists(storePath));
}

TEST_F(WindowStateStoreTest, BadlyTypedValueIsReportedAndTheWindowStillShows)
{
    Put("MainWindow/NormPos", QSize(3, 4));
    Put("MainWindow/cboxCOM_Text", "Com2");
    MainWindow w(*settings);
    w.show();
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(w.errors.size(), 1);
    EXPECT_THAT(w.errors[0].toStdString(), ::testing::HasSubstr("NormPos"));
    EXPECT_EQ(w.cboxCOM->currentText(), "Com1") << "the rest of that restore is skipped";
}

// Room for a lock file but not for the settings: where a plain QSettings
// save empties the file and reports success.
TEST_F(WindowStateStoreTest, SaveOnAFullOrReadOnlyDiskLeavesTheFileAsItWasAndSaysWhy)
{
    ScratchMount mount;
    SKIP_WITHOUT_SCRATCH_MOUNT(mount);
    storePath = mount.FilePath("store.ini");
    settings.emplace(SettingsStore::inFile(storePath));
    Put("Other/Big", QString(6000, 'x'));
    Put("MainWindow/cboxCOM_Text", "Com2");
    const QByteArray before = Bytes();
    mount.FillUp();
    QFile filler(mount.FilePath(".filler"));
    ASSERT_TRUE(filler.resize(filler.size() - 4096));

    const auto saveAndExpect = [&](const QString& reason) {
        MainWindow w(*settings);
        w.show();
        w.cboxCOM->setCurrentText("Com4");
        w.close();
        EXPECT_EQ(Bytes(), before);
        EXPECT_EQ(w.errors.join('|').toStdString(), ("Unable to write to " + storePath + ": " + reason).toStdString());
    };
    saveAndExpect("No space left on device");
    mount.MakeReadOnly();
    saveAndExpect("Read-only file system");
}

// The copy that QSettings writes goes to the temporary folder; when that is
// full, QSettings leaves the copy empty and reports success.
TEST_F(WindowStateStoreTest, FullTemporaryFolderLeavesTheFileAsItWas)
{
    ScratchMount mount;
    SKIP_WITHOUT_SCRATCH_MOUNT(mount);
    Put("MainWindow/cboxCOM_Text", "Com2");
    const QByteArray before = Bytes();
    mount.FillUp();
    QFile filler(mount.FilePath(".filler"));
    ASSERT_TRUE(filler.resize(filler.size() - 2 * 4096)) << "room for the copy and a lock file only";
    const bool hadTmpdir = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", mount.Path().toLocal8Bit());
    {
        MainWindow w(*settings);
        w.show();
        w.close();
        EXPECT_EQ(w.errors.join('|').toStdString(),
                  ("Unable to write to " + storePath + ": the temporary copy was cut short").toStdString());
    }
    hadTmpdir ? qputenv("TMPDIR", tmpdir) : qunsetenv("TMPDIR");
    EXPECT_EQ(Bytes(), before);
}

// A byte-order mark or garbage is a problem of reading, not of writing.
TEST_F(WindowStateStoreTest, StoreWithAByteOrderMarkOrGarbageIsReadAsFarAsItGoesAndSavedAnew)
{
    for (const QByteArray& damaged : {QByteArray("\xEF\xBB\xBF[MainWindow]\ncboxCOM_Text=Com2\n"),
                                      QByteArray("[MainWindow]\ncboxCOM_Text=Com2\n\x01[[\n=\n\xFF\xFE\0]x", 38)}) {
        SetBytes(damaged);
        MainWindow w(*settings);
        w.show();
        EXPECT_EQ(w.cboxCOM->currentText(), "Com2") << damaged.toStdString();
        w.cboxCOM->setCurrentText("Com3");
        w.close();
        EXPECT_THAT(w.errors, IsEmpty());
        EXPECT_EQ(Value("MainWindow/cboxCOM_Text"), "Com3");
    }
}

// A stray "=" and a backslash line parse to two entries that would be
// written as one line: the odd one is dropped with a note, once, and the
// save goes through.
TEST_F(WindowStateStoreTest, EntriesThatCannotBeWrittenBackAreDroppedWithANote)
{
    SetBytes(QByteArray("=\n\\\n=", 5));
    for (const QString& port : QStringList{"Com3", "Com4"}) {
        MainWindow w(*settings);
        w.show();
        w.cboxCOM->setCurrentText(port);
        w.close();
        EXPECT_EQ(w.errors, port == "Com3" ? QStringList{"Damaged entries in the settings file " + storePath
                                                         + " could not be kept and were dropped."}
                                           : QStringList{});
        EXPECT_EQ(Value("MainWindow/cboxCOM_Text"), port);
    }
}

TEST_F(WindowStateStoreTest, HugeStoredListIsReadUpToItsCap)
{
    {
        QSettings s(storePath, QSettings::IniFormat);
        s.setValue("SmsWindow.ComboBox1_Items/Count", "999999999");
        for (int i = 0; i < 1005; ++i)
            s.setValue(QString("SmsWindow.ComboBox1_Items/Item%1").arg(i), QString("op%1").arg(i));
        s.setValue("SmsWindow.ComboBox1_Items/Item3", QString(100000, 'w'));
    }
    SmsWindow d(*settings);
    d.show();
    ASSERT_EQ(d.ComboBox1->count(), 1000);
    EXPECT_EQ(d.ComboBox1->itemText(999), "op999");
    EXPECT_EQ(d.ComboBox1->itemText(3).size(), 4096);
}

TEST_F(WindowStateStoreTest, PlacementFromAnotherScreenOrWithExtremeNumbersComesBackOnScreen)
{
    const QScreen* screen = MainWindow(*settings).screen();
    const QRect area = screen->availableGeometry();
    const QString suffix = QString("(%1x%2)").arg(screen->size().width()).arg(screen->size().height());
    const auto restored = [&](const QString& normPos, bool fixedSize) {
        Put("MainWindow/NormPos" + suffix, normPos);
        MainWindow w(*settings);
        if (fixedSize)
            w.setFixedSize(300, 200);
        w.show();
        return w.frameGeometry();
    };
    const QRect beyond = restored(QString("%1,%2,%3,%4")
                                      .arg(area.right() + 2000)
                                      .arg(area.bottom() + 1500)
                                      .arg(area.right() + 2300)
                                      .arg(area.bottom() + 1700),
                                  false);
    EXPECT_TRUE(area.contains(beyond)) << beyond.x() << "," << beyond.y();
    EXPECT_EQ(beyond.size(), QSize(300, 200));
    const QRect pastLeft = restored(QString("%1,40,%2,240").arg(area.left() - 100).arg(area.left() + 200), false);
    EXPECT_EQ(pastLeft, QRect(area.left(), 40, 300, 200)) << "moved only as far as it must";
    EXPECT_TRUE(area.contains(restored("-2147483648,-2147483648,2147483647,2147483647", false)));
    EXPECT_TRUE(area.contains(restored("2147483647,2147483647,0,0", true)));
    MainWindow designed(*settings);
    designed.store->setActive(false);
    designed.show();
    const QRect topOnly = restored("50,5000", false);
    EXPECT_TRUE(area.contains(topOnly)) << "the bottom left as it stood is above the stored top";
    EXPECT_EQ(topOnly.height(), designed.frameGeometry().height());
}

TEST_F(WindowStateStoreTest, ListGoesToItsOwnSectionAndAnEmptyListRemovesIt)
{
    {
        SmsWindow d(*settings);
        d.show();
        d.ComboBox1->addItems({"Beeline", "MTS"});
        d.reject();
    }
    EXPECT_EQ(Value("SmsWindow.ComboBox1_Items/Count"), "2");
    EXPECT_EQ(Value("SmsWindow.ComboBox1_Items/Item0"), "Beeline");
    EXPECT_EQ(Value("SmsWindow.ComboBox1_Items/Item1"), "MTS");
    EXPECT_FALSE(Value("SmsWindow/NormPos").isEmpty());

    SmsWindow d(*settings);
    d.ComboBox1->addItems({"stale"});
    d.show();
    EXPECT_EQ(d.ComboBox1->count(), 2);
    EXPECT_EQ(d.ComboBox1->itemText(1), "MTS");
    d.ComboBox1->clear();
    int saves = 0;
    QObject::connect(d.store, &WindowPlacement::placementSaved, [&saves] { ++saves; });
    d.close();
    EXPECT_EQ(saves, 1);
    QSettings s(storePath, QSettings::IniFormat);
    EXPECT_FALSE(s.childGroups().contains("SmsWindow.ComboBox1_Items"));
    EXPECT_TRUE(s.childGroups().contains("SmsWindow"));

    // A zero count leaves the designed items alone.
    SmsWindow third(*settings);
    third.ComboBox1->addItems({"designed"});
    third.show();
    EXPECT_EQ(third.ComboBox1->itemText(0), "designed");
}

TEST_F(WindowStateStoreTest, StoredPropsKeepOnlyLinesOfLiveComponents)
{
    MainWindow w(*settings);
    auto* edit = new QLineEdit(&w);
    edit->setObjectName("eName");
    w.store->setStoredProps({" cboxCOM . Text ", "eName.text", "noDot", ".Text", "cboxCOM.", "missing.Text"});
    EXPECT_THAT(w.store->storedProps(), ElementsAre("cboxCOM.Text", "eName.text"));
    delete edit;
    EXPECT_THAT(w.store->storedProps(), ElementsAre("cboxCOM.Text"));
}

TEST_F(WindowStateStoreTest, StoredValuesAreUniqueScrambledAndPassThroughTheirHooks)
{
    MainWindow w(*settings);
    StoredValues& values = w.store->storedValues();
    StoredValue& text = values.add("TextField");
    EXPECT_THROW(
        {
            try {
                values.add("textfield");
            } catch (const WindowStateError& e) {
                EXPECT_STREQ(e.what(), "String list does not allow duplicates");
                throw;
            }
        },
        WindowStateError);
    StoredValue& other = values.add("Other");
    EXPECT_THROW(values.rename(other, "TEXTFIELD"), WindowStateError);
    EXPECT_EQ(values.count(), 2u);

    text.scrambleKey = "abc";
    text.value = "Hi!";
    other.beforeSave = [](QString& text) { text += "+saved"; };
    other.value = "x";
    w.show();
    w.close();
    EXPECT_EQ(Value("MainWindow/TextField"), "290b42");
    EXPECT_EQ(Value("MainWindow/Other"), "x+saved");
    EXPECT_EQ(other.value, "x") << "the hook changes only what is written";

    MainWindow again(*settings);
    StoredValue& back = again.store->storedValues().add("TextField");
    back.scrambleKey = "abc";
    back.afterRestore = [](QString& text) { text = text.toUpper(); };
    again.show();
    EXPECT_EQ(back.value, "HI!");
}

TEST(WindowStateStoreScrambling, KnownVectorRoundTripAndBadPairs)
{
    EXPECT_EQ(WindowStateStore::scramble("Hi!", "abc"), "290b42");
    EXPECT_EQ(WindowStateStore::unscramble("290b42", "abc"), "Hi!");
    EXPECT_EQ(WindowStateStore::unscramble("290B42", "abc"), "Hi!");
    // A pair that is not hexadecimal stands for a blank before the key is applied.
    EXPECT_EQ(WindowStateStore::unscramble("29zz42", "abc"), QString("H") + QChar(' ' ^ 'b') + "!");
    EXPECT_EQ(WindowStateStore::unscramble("290", "abc"), "H");
    EXPECT_EQ(WindowStateStore::scramble("plain", ""), "plain");
    const QString cyr = QString::fromUtf8("Привет, мир");
    EXPECT_EQ(WindowStateStore::unscramble(WindowStateStore::scramble(cyr, "Nmt650ab"), "Nmt650ab"), cyr);
}

#include "WindowStateStoreTest.moc"
