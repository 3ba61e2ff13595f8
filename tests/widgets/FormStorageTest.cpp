#include "widgets/FormStorage.h"

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

#include "support/ScratchMount.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A main window as the program has it: a port box and one storage.
class TFMain : public QWidget {
    Q_OBJECT
public:
    TFMain()
    {
        cboxCOM = new QComboBox(this);
        cboxCOM->setObjectName("cboxCOM");
        cboxCOM->setEditable(true);
        cboxCOM->addItems({"Com1", "Com2", "Com3", "Com4"});
        setGeometry(100, 120, 300, 200);
        FormStorage1 = new TFormStorage(this);
        FormStorage1->UseRegistry = true;
        FormStorage1->MainForm = true;
        FormStorage1->SetStoredProps({"cboxCOM.Text"});
        FormStorage1->OnRestorePlacement = [this](TFormPlacement*) { portAtRestore = cboxCOM->currentText(); };
        FormStorage1->OnError = [this](const QString& m) { errors << m; };
    }
    ~TFMain() override { FormStorage1->FormDestroying(); }

    bool allowClose = true;
    QComboBox* cboxCOM;
    TFormStorage* FormStorage1;
    QString portAtRestore;
    QStringList errors;

protected:
    void closeEvent(QCloseEvent* e) override { e->setAccepted(allowClose); }
};

class TFSendSMS : public QDialog {
    Q_OBJECT
public:
    TFSendSMS()
    {
        ComboBox1 = new QComboBox(this);
        ComboBox1->setObjectName("ComboBox1");
        FormStorage1 = new TFormStorage(this);
        FormStorage1->UseRegistry = true;
        FormStorage1->SetStoredProps({"ComboBox1.Items"});
    }
    QComboBox* ComboBox1;
    TFormStorage* FormStorage1;
};

namespace {

class FormStorageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        storePath = dir.filePath("store.ini");
        TFormPlacement::SetStoreOverride(storePath);
    }
    void TearDown() override { TFormPlacement::SetStoreOverride(QString()); }

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
};

} // namespace

TEST_F(FormStorageTest, FirstRunKeepsTheDesignAndCreatesAnEmptyStoreUntilClosing)
{
    TFMain w;
    w.show();
    EXPECT_TRUE(QFile::exists(storePath));
    EXPECT_THAT(QSettings(storePath, QSettings::IniFormat).allKeys(), IsEmpty());
    EXPECT_EQ(w.cboxCOM->currentText(), "Com1");
    EXPECT_EQ(w.portAtRestore, "Com1");
    EXPECT_EQ(w.geometry(), QRect(100, 120, 300, 200));
    w.close();
    EXPECT_EQ(Value("TFMain/FormVersion"), "0");
    EXPECT_THAT(w.errors, IsEmpty());
}

TEST_F(FormStorageTest, ClosingSavesPlacementAndPortAndANewWindowGetsThemBack)
{
    QRect frame;
    {
        TFMain w;
        w.show();
        w.setGeometry(40, 50, 320, 210);
        frame = w.frameGeometry();
        w.cboxCOM->setCurrentText("Com2");
        ASSERT_TRUE(w.close());
    }
    EXPECT_EQ(Value("TFMain/cboxCOM_Text"), "Com2");
    EXPECT_EQ(Value("TFMain/FormVersion"), "0");
    EXPECT_EQ(Value("TFMain/Visible"), "0") << "saved at close, not again at destruction";
    EXPECT_EQ(Value("TFMain/ShowCmd"), "1");
    EXPECT_EQ(Value("TFMain/Flags"), "0");
    // The stored rectangle is the whole window, frame included.
    const QString norm = QString("%1,%2,%3,%4").arg(frame.left()).arg(frame.top())
        .arg(frame.left() + frame.width()).arg(frame.top() + frame.height());
    EXPECT_EQ(Value("TFMain/NormPos"), norm);
    const QSize screen = TFMain().screen()->geometry().size();
    const QString suffix = QString("(%1x%2)").arg(screen.width()).arg(screen.height());
    EXPECT_EQ(Value("TFMain/NormPos" + suffix), norm);
    EXPECT_FALSE(Value("TFMain/MinMaxPos" + suffix).isEmpty());
    EXPECT_EQ(Value("TFMain/PixelsPerInch"), QString::number(TFMain().logicalDpiY()));

    TFMain again;
    again.show();
    EXPECT_EQ(again.geometry(), QRect(40, 50, 320, 210));
    EXPECT_EQ(again.cboxCOM->currentText(), "Com2");
    EXPECT_EQ(again.portAtRestore, "Com2") << "the restore hook runs after the values are back";
}

TEST_F(FormStorageTest, PortTextLosesItsSurroundingBlanksBothWays)
{
    {
        TFMain w;
        w.show();
        w.cboxCOM->setEditText("Com3  ");
        w.close();
    }
    EXPECT_EQ(Value("TFMain/cboxCOM_Text"), "Com3");
    Put("TFMain/cboxCOM_Text", "  Com4 ");
    TFMain again;
    again.show();
    EXPECT_EQ(again.cboxCOM->currentText(), "Com4");
}

TEST_F(FormStorageTest, ScreenSizedPositionWinsAndOtherPixelsPerInchAreIgnored)
{
    TFMain probe;
    const QSize screen = probe.screen()->geometry().size();
    const QString suffix = QString("(%1x%2)").arg(screen.width()).arg(screen.height());
    Put("TFMain/NormPos", "1,2,101,102");
    Put("TFMain/NormPos" + suffix, "10,20,210,170");
    {
        TFMain w;
        w.show();
        EXPECT_EQ(w.frameGeometry(), QRect(10, 20, 200, 150));
        w.hide();
    }
    Put("TFMain/PixelsPerInch", QString::number(probe.logicalDpiY() + 24));
    TFMain other;
    other.show();
    EXPECT_EQ(other.geometry(), QRect(100, 120, 300, 200));
}

TEST_F(FormStorageTest, NormPosWithFewerThanFourNumbersKeepsTheCurrentOnes)
{
    QRect designed;
    {
        TFMain plain;
        plain.FormStorage1->Active = false;
        plain.show();
        designed = plain.frameGeometry();
    }
    Put("TFMain/NormPos", "50,x");
    TFMain w;
    w.show();
    // Left from the store; top, right and bottom as the window's frame stood.
    EXPECT_EQ(w.frameGeometry(), QRect(QPoint(50, designed.top()), designed.bottomRight()));
}

TEST_F(FormStorageTest, StateIsRestoredAndAMinimisedMainWindowIsMinimisedAfterShowing)
{
    Put("TFMain/ShowCmd", "3");
    {
        TFMain w;
        w.show();
        EXPECT_TRUE(w.isMaximized());
        w.hide();
    }
    Put("TFMain/ShowCmd", "2");
    TFMain w;
    w.show();
    EXPECT_FALSE(w.isMinimized()) << "shown normally first";
    QCoreApplication::processEvents();
    EXPECT_TRUE(w.isMinimized());
    w.close();
    EXPECT_EQ(Value("TFMain/ShowCmd"), "2");
}

TEST_F(FormStorageTest, RefusedCloseSavesNothingAndDestructionSavesAsVisible)
{
    {
        TFMain w;
        w.show();
        w.allowClose = false;
        w.cboxCOM->setCurrentText("Com3");
        EXPECT_FALSE(w.close());
        EXPECT_TRUE(Value("TFMain/cboxCOM_Text").isEmpty());
    }
    EXPECT_EQ(Value("TFMain/cboxCOM_Text"), "Com3");
    EXPECT_EQ(Value("TFMain/Visible"), "1");
}

TEST_F(FormStorageTest, WindowNeverShownIsNeverSavedAndInactiveStorageTouchesNothing)
{
    {
        TFMain never;
    }
    EXPECT_FALSE(QFile::exists(storePath));
    TFMain w;
    w.FormStorage1->Active = false;
    w.show();
    w.close();
    EXPECT_FALSE(QFile::exists(storePath));
}

TEST_F(FormStorageTest, BadlyTypedValueIsReportedAndTheWindowStillShows)
{
    Put("TFMain/NormPos", QSize(3, 4));
    Put("TFMain/cboxCOM_Text", "Com2");
    TFMain w;
    w.show();
    EXPECT_TRUE(w.isVisible());
    ASSERT_EQ(w.errors.size(), 1);
    EXPECT_THAT(w.errors[0].toStdString(), ::testing::HasSubstr("NormPos"));
    EXPECT_EQ(w.cboxCOM->currentText(), "Com1") << "the rest of that restore is skipped";
}

// Room for a lock file but not for the settings: where a plain QSettings
// save empties the file and reports success.
TEST_F(FormStorageTest, SaveOnAFullOrReadOnlyDiskLeavesTheFileAsItWasAndSaysWhy)
{
    ScratchMount mount;
    SKIP_WITHOUT_SCRATCH_MOUNT(mount);
    storePath = mount.FilePath("store.ini");
    TFormPlacement::SetStoreOverride(storePath);
    Put("Other/Big", QString(6000, 'x'));
    Put("TFMain/cboxCOM_Text", "Com2");
    const QByteArray before = Bytes();
    mount.FillUp();
    QFile filler(mount.FilePath(".filler"));
    ASSERT_TRUE(filler.resize(filler.size() - 4096));

    const auto saveAndExpect = [&](const QString& reason) {
        TFMain w;
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
TEST_F(FormStorageTest, FullTemporaryFolderLeavesTheFileAsItWas)
{
    ScratchMount mount;
    SKIP_WITHOUT_SCRATCH_MOUNT(mount);
    Put("TFMain/cboxCOM_Text", "Com2");
    const QByteArray before = Bytes();
    mount.FillUp();
    QFile filler(mount.FilePath(".filler"));
    ASSERT_TRUE(filler.resize(filler.size() - 2 * 4096)) << "room for the copy and a lock file only";
    const bool hadTmpdir = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray tmpdir = qgetenv("TMPDIR");
    qputenv("TMPDIR", mount.Path().toLocal8Bit());
    {
        TFMain w;
        w.show();
        w.close();
        EXPECT_EQ(w.errors.join('|').toStdString(),
                  ("Unable to write to " + storePath + ": the temporary copy was cut short").toStdString());
    }
    hadTmpdir ? qputenv("TMPDIR", tmpdir) : qunsetenv("TMPDIR");
    EXPECT_EQ(Bytes(), before);
}

// A byte-order mark or garbage is a problem of reading, not of writing.
TEST_F(FormStorageTest, StoreWithAByteOrderMarkOrGarbageIsReadAsFarAsItGoesAndSavedAnew)
{
    for (const QByteArray& damaged : {QByteArray("\xEF\xBB\xBF[TFMain]\ncboxCOM_Text=Com2\n"),
                                      QByteArray("[TFMain]\ncboxCOM_Text=Com2\n\x01[[\n=\n\xFF\xFE\0]x", 38)}) {
        SetBytes(damaged);
        TFMain w;
        w.show();
        EXPECT_EQ(w.cboxCOM->currentText(), "Com2") << damaged.toStdString();
        w.cboxCOM->setCurrentText("Com3");
        w.close();
        EXPECT_THAT(w.errors, IsEmpty());
        EXPECT_EQ(Value("TFMain/cboxCOM_Text"), "Com3");
    }
}

TEST_F(FormStorageTest, HugeStoredListIsReadUpToItsCap)
{
    {
        QSettings s(storePath, QSettings::IniFormat);
        s.setValue("TFSendSMS.ComboBox1_Items/Count", "999999999");
        for (int i = 0; i < 1005; ++i)
            s.setValue(QString("TFSendSMS.ComboBox1_Items/Item%1").arg(i), QString("op%1").arg(i));
        s.setValue("TFSendSMS.ComboBox1_Items/Item3", QString(100000, 'w'));
    }
    TFSendSMS d;
    d.show();
    ASSERT_EQ(d.ComboBox1->count(), 1000);
    EXPECT_EQ(d.ComboBox1->itemText(999), "op999");
    EXPECT_EQ(d.ComboBox1->itemText(3).size(), 4096);
}

TEST_F(FormStorageTest, PlacementFromAnotherScreenOrWithExtremeNumbersComesBackOnScreen)
{
    const QScreen* screen = TFMain().screen();
    const QRect area = screen->availableGeometry();
    const QString suffix = QString("(%1x%2)").arg(screen->size().width()).arg(screen->size().height());
    const auto restored = [&](const QString& normPos, bool fixedSize) {
        Put("TFMain/NormPos" + suffix, normPos);
        TFMain w;
        if (fixedSize)
            w.setFixedSize(300, 200);
        w.show();
        return w.frameGeometry();
    };
    const QRect beyond = restored(QString("%1,%2,%3,%4").arg(area.right() + 2000).arg(area.bottom() + 1500)
                                      .arg(area.right() + 2300).arg(area.bottom() + 1700), false);
    EXPECT_TRUE(area.contains(beyond)) << beyond.x() << "," << beyond.y();
    EXPECT_EQ(beyond.size(), QSize(300, 200));
    const QRect pastLeft = restored(QString("%1,40,%2,240").arg(area.left() - 100).arg(area.left() + 200), false);
    EXPECT_EQ(pastLeft, QRect(area.left(), 40, 300, 200)) << "moved only as far as it must";
    EXPECT_TRUE(area.contains(restored("-2147483648,-2147483648,2147483647,2147483647", false)));
    EXPECT_TRUE(area.contains(restored("2147483647,2147483647,0,0", true)));
    TFMain designed;
    designed.FormStorage1->Active = false;
    designed.show();
    const QRect topOnly = restored("50,5000", false);
    EXPECT_TRUE(area.contains(topOnly)) << "the bottom left as it stood is above the stored top";
    EXPECT_EQ(topOnly.height(), designed.frameGeometry().height());
}

TEST_F(FormStorageTest, ListGoesToItsOwnSectionAndAnEmptyListRemovesIt)
{
    {
        TFSendSMS d;
        d.show();
        d.ComboBox1->addItems({"Beeline", "MTS"});
        d.reject();
    }
    EXPECT_EQ(Value("TFSendSMS.ComboBox1_Items/Count"), "2");
    EXPECT_EQ(Value("TFSendSMS.ComboBox1_Items/Item0"), "Beeline");
    EXPECT_EQ(Value("TFSendSMS.ComboBox1_Items/Item1"), "MTS");
    EXPECT_FALSE(Value("TFSendSMS/NormPos").isEmpty());

    TFSendSMS d;
    d.ComboBox1->addItems({"stale"});
    d.show();
    EXPECT_EQ(d.ComboBox1->count(), 2);
    EXPECT_EQ(d.ComboBox1->itemText(1), "MTS");
    d.ComboBox1->clear();
    int saves = 0;
    d.FormStorage1->OnSavePlacement = [&saves](TFormPlacement*) { ++saves; };
    d.close();
    EXPECT_EQ(saves, 1);
    QSettings s(storePath, QSettings::IniFormat);
    EXPECT_FALSE(s.childGroups().contains("TFSendSMS.ComboBox1_Items"));
    EXPECT_TRUE(s.childGroups().contains("TFSendSMS"));

    // A zero count leaves the designed items alone.
    TFSendSMS third;
    third.ComboBox1->addItems({"designed"});
    third.show();
    EXPECT_EQ(third.ComboBox1->itemText(0), "designed");
}

TEST_F(FormStorageTest, StoredPropsKeepOnlyLinesOfLiveComponents)
{
    TFMain w;
    auto* edit = new QLineEdit(&w);
    edit->setObjectName("eName");
    w.FormStorage1->SetStoredProps(
        {" cboxCOM . Text ", "eName.text", "noDot", ".Text", "cboxCOM.", "missing.Text"});
    EXPECT_THAT(w.FormStorage1->StoredProps(), ElementsAre("cboxCOM.Text", "eName.text"));
    delete edit;
    EXPECT_THAT(w.FormStorage1->StoredProps(), ElementsAre("cboxCOM.Text"));
}

TEST_F(FormStorageTest, StoredValuesAreUniqueScrambledAndPassThroughTheirHooks)
{
    TFMain w;
    TStoredValues& values = w.FormStorage1->StoredValues();
    TStoredValue& text = values.Add("TextField");
    EXPECT_THROW(
        {
            try {
                values.Add("textfield");
            } catch (const EFormStorageError& e) {
                EXPECT_STREQ(e.what(), "String list does not allow duplicates");
                throw;
            }
        },
        EFormStorageError);
    TStoredValue& other = values.Add("Other");
    EXPECT_THROW(values.Rename(other, "TEXTFIELD"), EFormStorageError);
    EXPECT_EQ(values.Count(), 2u);

    text.KeyString = "abc";
    text.Value = "Hi!";
    other.OnSave = [](TStoredValue& v) { v.Value += "+saved"; };
    other.Value = "x";
    w.show();
    w.close();
    EXPECT_EQ(Value("TFMain/TextField"), "290b42");
    EXPECT_EQ(Value("TFMain/Other"), "x+saved");
    EXPECT_EQ(other.Value, "x") << "the hook changes only what is written";

    TFMain again;
    TStoredValue& back = again.FormStorage1->StoredValues().Add("TextField");
    back.KeyString = "abc";
    back.OnRestore = [](TStoredValue& v) { v.Value = v.Value.toUpper(); };
    again.show();
    EXPECT_EQ(back.Value, "HI!");
}

TEST(FormStorageScrambling, KnownVectorRoundTripAndBadPairs)
{
    EXPECT_EQ(TFormStorage::Scramble("Hi!", "abc"), "290b42");
    EXPECT_EQ(TFormStorage::Unscramble("290b42", "abc"), "Hi!");
    EXPECT_EQ(TFormStorage::Unscramble("290B42", "abc"), "Hi!");
    // A pair that is not hexadecimal stands for a blank before the key is applied.
    EXPECT_EQ(TFormStorage::Unscramble("29zz42", "abc"), QString("H") + QChar(' ' ^ 'b') + "!");
    EXPECT_EQ(TFormStorage::Unscramble("290", "abc"), "H");
    EXPECT_EQ(TFormStorage::Scramble("plain", ""), "plain");
    const QString cyr = QString::fromUtf8("Привет, мир");
    EXPECT_EQ(TFormStorage::Unscramble(TFormStorage::Scramble(cyr, "Nmt650ab"), "Nmt650ab"), cyr);
}

#include "FormStorageTest.moc"
