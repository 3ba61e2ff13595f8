#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>
#include <random>
#include <unistd.h>

#include "support/ModelledWorker.h"
#include "support/ScriptedPrompts.h"
#include "logo/LogoBlocks.h"
#include "widgets/CheckLed.h"
#include "widgets/LedBar.h"
#include "logo/LogoPicture.h"
#include "logo/ui/LogoImportDialog.h"
#include "logo/ui/LogoToolRow.h"
#include "logo/ui/LogoWindow.h"
#include "LogoControls.h"
#include "widgets/DotMatrix.h"
#include "support/ScratchMount.h"
#include "support/TrapFifo.h"

namespace {

LogoDots matrixDotsOf(const LogoWindow& form)
{
    const DotMatrix& matrix = *LogoWindowControls(&form).dotMatrix;
    LogoDots dots{};
    for (int i = 0; i < kLogoCellCount; ++i)
        dots[i] = !matrix.isLit(i);
    return dots;
}

// The simulator's handset model as the phone, its logo as the test's blocks.
struct LogoPhone : ModelledWorker {
    LogoBlocks Memory()
    {
        LogoBlocks blocks{};
        for (std::size_t b = 0; b < blocks.size(); ++b)
            std::copy(Model().state().logo[b].begin(), Model().state().logo[b].end(), blocks[b].begin());
        return blocks;
    }
    void SetMemory(const LogoBlocks& blocks)
    {
        handset::HandsetState state = Model().state();
        for (std::size_t b = 0; b < blocks.size(); ++b)
            std::copy(blocks[b].begin(), blocks[b].end(), state.logo[b].begin());
        Model().setState(state);
    }
    // The blocks the program wrote, by their index byte.
    std::vector<int> WrittenBlocks()
    {
        std::vector<int> blocks;
        for (const auto& w : Line().DataFrameWrites())
            if (w.bytes.size() == 104 && w.bytes[4] == 0x10)
                blocks.push_back(w.bytes[13]);
        return blocks;
    }
};

class LogoWindowTest : public ::testing::Test {
protected:
    ScriptedPrompts prompts;
    LogoPhone phone;
    LogoWindow form{phone.Worker(), phone.Gate()};
    LogoWindowControls ui{&form};
    QTemporaryDir dir;
    LogoBlocks memory{};

    void SetUp() override
    {
        std::mt19937 random(77);
        for (auto& block : memory)
            for (auto& byte : block)
                byte = static_cast<std::uint8_t>(random());
        phone.SetMemory(memory);
    }
    // Clicks a transfer's button and lets the transfer run to its end.
    void Click(QPushButton* button)
    {
        button->click();
        ASSERT_TRUE(phone.WaitUntilIdle());
    }

    int DarkCells() const
    {
        int dark = 0;
        for (int i = 0; i < kLogoCellCount; ++i)
            dark += ui.dotMatrix->isLit(i) ? 0 : 1;
        return dark;
    }
    QString WritePicture(const QImage& image, const char* name, const char* format = "BMP")
    {
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(image.save(path, format));
        return path;
    }
    bool Dark(int x, int y) const { return !ui.dotMatrix->isLit(logoCellIndex(x, y)); }
    // A press on the first dot, moves over the others and the release on the
    // last, delivered as the matrix gets them from a real mouse.
    void Drag(Qt::MouseButton button, std::initializer_list<DotPoint> path)
    {
        const auto centre = [](DotPoint at) { return QPointF(2 + 5 * at.x + 2, 2 + 5 * at.y + 2); };
        const auto send = [&](QEvent::Type type, DotPoint at, Qt::MouseButtons held) {
            QMouseEvent event(type, centre(at), ui.dotMatrix->mapToGlobal(centre(at)),
                              type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
            QApplication::sendEvent(ui.dotMatrix, &event);
        };
        send(QEvent::MouseButtonPress, *path.begin(), button);
        for (DotPoint at : path)
            send(QEvent::MouseMove, at, button);
        send(QEvent::MouseButtonRelease, *(path.end() - 1), Qt::NoButton);
    }
    static QImage Filled(int width, int height, QRgb colour)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }
};

TEST_F(LogoWindowTest, LoadFromPhoneSetsCellsAndPreviewAndRestoresTheWindow)
{
    std::vector<int> steps;
    QObject::connect(ui.progressBar, &LedBar::valueChanged, [&](int value) { steps.push_back(value); });
    ui.readButton->click();
    // While it reads, the window waits and its logo is the transfer's.
    EXPECT_FALSE(ui.readButton->isEnabled());
    EXPECT_FALSE(ui.loadButton->isEnabled());
    EXPECT_FALSE(ui.editLed->isEnabled());
    EXPECT_EQ(form.cursor().shape(), Qt::WaitCursor);
    ASSERT_TRUE(phone.WaitUntilIdle());

    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4, 5, 6, 0}));
    EXPECT_TRUE(ui.readButton->isEnabled());
    EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
    ASSERT_EQ(form.picture().size(), QSize(84, 48));
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x) {
            const bool set = logoDotIsSet(memory, x, y);
            ASSERT_EQ(ui.dotMatrix->isLit(logoCellIndex(x, y)), !set) << x << "," << y;
            ASSERT_EQ(form.picture().pixel(x, y), set ? qRgb(0, 0, 0) : qRgb(255, 255, 255)) << x << "," << y;
        }
    EXPECT_TRUE(phone.told.isEmpty());
}

TEST_F(LogoWindowTest, UploadAfterLoadSendsTheSameBytesBack)
{
    Click(ui.readButton);
    phone.SetMemory(LogoBlocks{});
    Click(ui.writeButton);
    EXPECT_EQ(phone.WrittenBlocks(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(phone.Memory(), memory);
    EXPECT_TRUE(ui.writeButton->isEnabled());
    EXPECT_EQ(ui.progressBar->value(), 0);
}

TEST_F(LogoWindowTest, WithoutAHandsetEachTransferShowsSixMessagesAndGoesOn)
{
    phone.AnswerOnly(0);
    Click(ui.readButton);
    EXPECT_EQ(phone.told.size(), 6);
    EXPECT_EQ(DarkCells(), 0); // the untouched zero buffer reads as all clear
    EXPECT_TRUE(ui.readButton->isEnabled());
    Click(ui.writeButton);
    EXPECT_EQ(phone.told.size(), 12);
    EXPECT_TRUE(ui.writeButton->isEnabled());
    phone.AnswerOnly(-1);
    Click(ui.readButton);
    EXPECT_EQ(phone.told.size(), 12);
    EXPECT_EQ(ui.dotMatrix->isLit(0), !logoDotIsSet(memory, 0, 0));
}

TEST_F(LogoWindowTest, FailedBlockRepeatsTheLastBlockRead)
{
    phone.Ignore(2, 11); // block 2's request and its ten tries
    Click(ui.readButton);
    ASSERT_EQ(phone.told.size(), 1);
    for (int x = 0; x < kLogoWidth; ++x)
        for (int k = 0; k < 8; ++k)
            ASSERT_EQ(ui.dotMatrix->isLit(logoCellIndex(x, 16 + k)), !(memory[1][x] >> k & 1));
    EXPECT_EQ(ui.dotMatrix->isLit(logoCellIndex(0, 24)), !(memory[3][0] & 1)) << "block 3 came again";
}

TEST_F(LogoWindowTest, PictureImportUsesExactBlackOnly)
{
    prompts.FileNames = {WritePicture(Filled(84, 48, qRgb(0, 0, 0)), "black.bmp")};
    ui.loadButton->click();
    EXPECT_EQ(DarkCells(), kLogoCellCount);

    prompts.FileNames = {WritePicture(Filled(84, 48, qRgb(1, 1, 1)), "grey.bmp")};
    ui.loadButton->click();
    EXPECT_EQ(DarkCells(), 0);
}

TEST_F(LogoWindowTest, PictureImportTakesTheTopLeftCornerWithoutScaling)
{
    QImage large = Filled(100, 60, qRgb(0, 0, 0));
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
            if ((x + y) % 3 == 0)
                large.setPixel(x, y, qRgb(255, 255, 255));
    prompts.FileNames = {WritePicture(large, "large.png", "PNG")};
    ui.loadButton->click();
    EXPECT_EQ(form.picture().size(), QSize(100, 60));
    for (int y = 0; y < kLogoHeight; ++y)
        for (int x = 0; x < kLogoWidth; ++x)
            ASSERT_EQ(ui.dotMatrix->isLit(logoCellIndex(x, y)), (x + y) % 3 == 0) << x << "," << y;

    // A later load from the phone draws over the top-left corner only.
    Click(ui.readButton);
    ASSERT_EQ(form.picture().size(), QSize(100, 60));
    EXPECT_EQ(logoDotsFromPicture(form.picture()), logoDotsFromBlocks(memory));
    EXPECT_EQ(form.picture().pixel(90, 50), large.pixel(90, 50));
    EXPECT_EQ(form.picture().pixel(84, 0), large.pixel(84, 0));

    // Pixels outside a smaller picture count as white.
    prompts.FileNames = {WritePicture(Filled(40, 20, qRgb(0, 0, 0)), "small.ppm", "PPM")};
    ui.loadButton->click();
    EXPECT_EQ(DarkCells(), 40 * 20);
    EXPECT_FALSE(ui.dotMatrix->isLit(logoCellIndex(39, 19)));
    EXPECT_TRUE(ui.dotMatrix->isLit(logoCellIndex(40, 19)));
    EXPECT_TRUE(ui.dotMatrix->isLit(logoCellIndex(39, 20)));
}

TEST_F(LogoWindowTest, TransparentPixelsAreNotBlack)
{
    QImage image(84, 48, QImage::Format_ARGB32);
    image.fill(qRgba(0, 0, 0, 0));
    image.setPixel(5, 5, qRgba(0, 0, 0, 255));
    prompts.FileNames = {WritePicture(image, "alpha.png", "PNG")};
    ui.loadButton->click();
    EXPECT_EQ(DarkCells(), 1);
    EXPECT_FALSE(ui.dotMatrix->isLit(logoCellIndex(5, 5)));
}

TEST_F(LogoWindowTest, CancelledImportOnAFreshWindowLightsEveryCell)
{
    EXPECT_EQ(DarkCells(), kLogoCellCount);
    ui.loadButton->click();
    EXPECT_EQ(DarkCells(), 0);
    EXPECT_EQ(form.picture().size(), QSize(84, 48));
}

TEST_F(LogoWindowTest, UnreadablePictureIsNamedAndCellsKeepTheirStates)
{
    const QString path = dir.filePath(QStringLiteral("broken.bmp"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("BM this is not a bitmap");
    file.close();
    ui.dotMatrix->setLit(7, true);
    prompts.FileNames = {path};
    ui.loadButton->click();
    ASSERT_EQ(prompts.Notices.size(), 1);
    EXPECT_TRUE(prompts.Notices[0].contains(path));
    EXPECT_EQ(DarkCells(), kLogoCellCount - 1);
    EXPECT_TRUE(form.picture().isNull());
}

TEST_F(LogoWindowTest, CutPicturesAreRefusedAndCellsKeepTheirStates)
{
    QFile bmp(WritePicture(Filled(84, 48, qRgb(0, 0, 0)), "whole.bmp"));
    ASSERT_TRUE(bmp.open(QIODevice::ReadOnly));
    QFile png(WritePicture(Filled(84, 48, qRgb(0, 0, 0)), "whole.png", "PNG"));
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    // Signature and header chunk, then a chunk that declares more bytes than follow.
    const QByteArray runaway = png.read(8 + 25) + QByteArray("\x00\x01\x86\xA0tEXta\0b", 11);
    const std::pair<const char*, QByteArray> pictures[] = {
        {"cut.bmp", bmp.readAll().chopped(2000)},
        {"cut.png", runaway},
    };
    ui.dotMatrix->setLit(7, true);
    for (const auto& [name, bytes] : pictures) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile cut(path);
        ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
        cut.write(bytes);
        cut.close();
        prompts.Notices.clear();
        prompts.FileNames = {path};
        ui.loadButton->click();
        ASSERT_EQ(prompts.Notices.size(), 1) << name;
        EXPECT_EQ(prompts.Notices[0],
                  "Cannot read the picture \"" + path + "\": the file ends before the picture does.");
        EXPECT_EQ(DarkCells(), kLogoCellCount - 1);
        EXPECT_TRUE(form.picture().isNull());
    }
}

TEST_F(LogoWindowTest, NamedPipeAsPictureIsRefusedWithoutOpeningIt)
{
    TrapFifo pipe(dir.filePath(QStringLiteral("pipe.bmp")));
    ASSERT_TRUE(pipe.Made());
    prompts.FileNames = {pipe.Path()};
    ui.loadButton->click();
    EXPECT_FALSE(pipe.Released()) << "the load blocked on the pipe";
    ASSERT_EQ(prompts.Notices.size(), 1);
    EXPECT_EQ(prompts.Notices[0], "Cannot read the picture \"" + pipe.Path() + "\": it is a named pipe, not a file.");
}

TEST_F(LogoWindowTest, SaveWritesWhatTheMatrixShows)
{
    // Nothing loaded or drawn: said before any file dialog opens.
    const QString path = dir.filePath(QStringLiteral("Logo.bmp"));
    ui.saveButton->click();
    EXPECT_EQ(prompts.Notices, QStringList{"There is no picture to save yet: load the logo from the phone, load a "
                                           "bitmap or draw one first."});
    EXPECT_TRUE(prompts.Filters.isEmpty());

    // A logo drawn from nothing.
    ui.editLed->setChecked(true);
    Drag(Qt::LeftButton, {{10, 10}});
    Drag(Qt::RightButton, {{20, 5}, {30, 5}});
    const auto savedDots = [&](const char* name) {
        const QString saved = dir.filePath(QString::fromLatin1(name));
        prompts.FileNames = {saved};
        ui.saveButton->click();
        QFile file(saved);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(file.read(2), QByteArray("BM")) << name;
        return logoDotsFromPicture(QImage(saved));
    };
    EXPECT_EQ(savedDots("drawn.bmp"), matrixDotsOf(form));
    EXPECT_FALSE(Dark(10, 10) || Dark(25, 5));

    // Edits after a load from the phone.
    Click(ui.readButton);
    Drag(Qt::LeftButton, {{0, 0}});
    Drag(Qt::RightButton, {{5, 40}, {70, 40}});
    EXPECT_NE(matrixDotsOf(form), logoDotsFromBlocks(memory));
    EXPECT_EQ(savedDots("edited.bmp"), matrixDotsOf(form));

    // A loaded picture smaller than the logo grows to hold what is drawn beyond it.
    prompts.FileNames = {WritePicture(Filled(40, 20, qRgb(0, 0, 0)), "small.bmp")};
    ui.loadButton->click();
    Drag(Qt::RightButton, {{83, 47}});
    EXPECT_TRUE(Dark(83, 47));
    EXPECT_EQ(savedDots("grown.bmp"), matrixDotsOf(form));
    EXPECT_EQ(prompts.Notices.size(), 1);
}

TEST_F(LogoWindowTest, FailedSaveLeavesTheEarlierFileWhole)
{
    const QString folder = dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString path = folder + QStringLiteral("/Logo.bmp");
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier contents");
    earlier.close();

    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    const bool root = geteuid() == 0;
    if (root) // permissions do not stop root; an immutable folder does
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), folder});
    QFile probe(folder + QStringLiteral("/probe"));
    const bool locked = !probe.open(QIODevice::WriteOnly);

    Click(ui.readButton);
    prompts.FileNames = {path};
    if (locked)
        ui.saveButton->click();

    if (root)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!locked)
        GTEST_SKIP() << "cannot make a folder read-only here";

    ASSERT_EQ(prompts.Notices.size(), 1);
    EXPECT_TRUE(prompts.Notices[0].contains(path));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("earlier contents"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("Logo.bmp")});
}

TEST_F(LogoWindowTest, SaveOnAFullOrReadOnlyDiskKeepsTheEarlierFileAndSaysWhy)
{
    Click(ui.readButton);
    const std::pair<void (ScratchMount::*)(), const char*> cases[] = {
        {&ScratchMount::FillUp, "the disk is full"},
        {&ScratchMount::MakeReadOnly, "the file system is read-only"},
    };
    for (const auto& [spoil, reason] : cases) {
        ScratchMount disk;
        SKIP_WITHOUT_SCRATCH_MOUNT(disk);
        const QString path = disk.FilePath(QStringLiteral("Logo.bmp"));
        QFile earlier(path);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("earlier contents");
        earlier.close();
        (disk.*spoil)();
        prompts.Notices.clear();
        prompts.FileNames = {path};
        ui.saveButton->click();
        ASSERT_EQ(prompts.Notices.size(), 1) << reason;
        EXPECT_EQ(prompts.Notices[0],
                  QStringLiteral("Cannot save \"%1\": %2. The earlier file is unchanged.").arg(path, reason));
        ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
        EXPECT_EQ(earlier.readAll(), QByteArray("earlier contents")) << reason;
        EXPECT_EQ(QDir(disk.Path()).entryList(QDir::Files), QStringList{QStringLiteral("Logo.bmp")});
    }
}

TEST_F(LogoWindowTest, MouseTogglesTheCellUnderThePressOnlyWhileEditing)
{
    auto* raster = ui.dotMatrix;
    QTest::mouseClick(raster, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(DarkCells(), kLogoCellCount); // "Edit" is off

    ui.editLed->setChecked(true);
    QTest::mouseClick(raster, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_TRUE(raster->isLit(0));
    QTest::mouseClick(raster, Qt::LeftButton, {}, QPoint(423, 2));
    EXPECT_TRUE(raster->isLit(84));
    QTest::mouseClick(raster, Qt::RightButton, {}, QPoint(150, 243));
    EXPECT_TRUE(raster->isLit(4031));
    QTest::mouseClick(raster, Qt::LeftButton, {},
                      QPoint(1, 1)); // -1 div 5 truncates to 0: the border belongs to cell 0
    EXPECT_FALSE(raster->isLit(0));
    EXPECT_EQ(DarkCells(), kLogoCellCount - 2);
    // The preview follows the matrix.
    EXPECT_EQ(logoDotsFromPicture(form.picture()), matrixDotsOf(form));
}

TEST_F(LogoWindowTest, DragPaintsByButtonWhileAClickStillToggles)
{
    ui.editLed->setChecked(true);
    Drag(Qt::RightButton, {{10, 10}, {11, 10}, {13, 11}, {20, 11}});
    EXPECT_EQ(DarkCells(), kLogoCellCount - 11); // the path, gaps between move points filled
    EXPECT_FALSE(Dark(10, 10));
    EXPECT_FALSE(Dark(12, 10) && Dark(12, 11));
    EXPECT_FALSE(Dark(20, 11));

    // The press toggles its set dot clear, but a left drag sets it and the path.
    Drag(Qt::LeftButton, {{9, 10}, {10, 10}, {11, 10}});
    EXPECT_TRUE(Dark(9, 10) && Dark(10, 10) && Dark(11, 10));
    EXPECT_EQ(DarkCells(), kLogoCellCount - 9);

    // A press and release on one dot toggles it, whichever the button.
    Drag(Qt::RightButton, {{10, 10}});
    EXPECT_FALSE(Dark(10, 10));
    Drag(Qt::RightButton, {{10, 10}});
    EXPECT_TRUE(Dark(10, 10));
}

TEST_F(LogoWindowTest, ToolsLoadsAndUndoAreOneHistory)
{
    EXPECT_FALSE(ui.toolRow->undoAction()->isEnabled()); // not editing
    Click(ui.readButton);
    const LogoDots fromPhone = logoDotsFromBlocks(memory);
    ui.editLed->setChecked(true);
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));

    QTest::keyClick(&form, Qt::Key_Delete);
    EXPECT_EQ(DarkCells(), 0);
    QTest::keyClick(&form, Qt::Key_R);
    ASSERT_EQ(ui.toolRow->tool(), LogoTool::Rectangle);
    Drag(Qt::LeftButton, {{9, 4}, {30, 30}, {0, 0}});
    EXPECT_EQ(DarkCells(), 2 * 10 + 2 * 3);
    EXPECT_TRUE(Dark(0, 4) && Dark(9, 0) && !Dark(5, 2));

    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(DarkCells(), 0);
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(matrixDotsOf(form), fromPhone);
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier); // the load from the phone
    EXPECT_EQ(DarkCells(), kLogoCellCount);
    EXPECT_FALSE(ui.toolRow->undoAction()->isEnabled());
    QTest::keyClick(&form, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(DarkCells(), 0);
}

// Nothing edits the dots while a transfer reads or writes them, nor closes
// the window under it: closing waits for the phone, and a read stops
// between two blocks.
TEST_F(LogoWindowTest, NothingTouchesTheDotsWhileATransferRunsAndClosingWaitsForIt)
{
    ui.editLed->setChecked(true);
    form.show();
    phone.HoldAt(3);
    ui.readButton->click();
    ASSERT_TRUE(phone.WaitUntilHeld());
    Drag(Qt::LeftButton, {{1, 1}});
    QTest::keyClick(&form, Qt::Key_Delete);
    EXPECT_FALSE(ui.toolRow->isEnabled());
    EXPECT_EQ(ui.writeButton->toolTip(), "A transfer with the phone is running");
    phone.Release();
    ASSERT_TRUE(phone.WaitUntilIdle());
    EXPECT_EQ(matrixDotsOf(form), logoDotsFromBlocks(memory));

    phone.HoldAt(2);
    ui.readButton->click();
    ASSERT_TRUE(phone.WaitUntilHeld());
    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Logo manager — Waiting for the phone…"));
    phone.Release();
    ASSERT_TRUE(phone.WaitUntilIdle());
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), "Logo manager");
}

TEST_F(LogoWindowTest, ImportedDotsAreOneStepAndSaveAsAPictureThatLoadsBack)
{
    // Answers the import dialog with "Fit" at a fixed threshold, or cancels it.
    struct ImportPrompts : ScriptedPrompts {
        bool accept = true;
        bool runDialog(QDialog& dialog) override
        {
            LogoImportOptions fit;
            fit.mode = LogoImportMode::Fit;
            fit.threshold = 128;
            if (auto* import = qobject_cast<LogoImportDialog*>(&dialog))
                import->setOptions(fit);
            return accept;
        }
    } importPrompts;
    QImage halves = Filled(168, 48, qRgb(255, 255, 255));
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 84; ++x)
            halves.setPixel(x, y, qRgb(0, 0, 0));
    const QString source = WritePicture(halves, "halves.png", "PNG");

    importPrompts.accept = false;
    importPrompts.FileNames = {source};
    ui.loadButton->click();
    EXPECT_EQ(DarkCells(), kLogoCellCount);
    EXPECT_TRUE(form.picture().isNull());

    importPrompts.accept = true;
    importPrompts.FileNames = {source};
    ui.loadButton->click();
    EXPECT_EQ(DarkCells(), 42 * 24); // the left half of the centre band
    EXPECT_TRUE(Dark(0, 12) && Dark(41, 35) && !Dark(42, 20) && !Dark(10, 11) && !Dark(10, 36));
    const LogoDots imported = matrixDotsOf(form);

    const QString saved = dir.filePath(QStringLiteral("Logo.png"));
    importPrompts.FileNames = {saved};
    ui.saveButton->click();
    EXPECT_TRUE(importPrompts.Filters.last().contains(QStringLiteral("*.png")));
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(4), QByteArray("\x89PNG", 4));
    EXPECT_EQ(logoDotsFromPicture(QImage(saved)), imported);

    ui.editLed->setChecked(true);
    ui.toolRow->undoAction()->trigger();
    EXPECT_EQ(DarkCells(), kLogoCellCount);
}

TEST_F(LogoWindowTest, ToolRowFitsTheWindowWithoutOverlaps)
{
    form.show();
    ui.toolRow->layout()->activate();
    const QRect window = form.rect();
    EXPECT_TRUE(window.contains(ui.toolRow->geometry())) << ui.toolRow->geometry().right();
    const QList<QWidget*> controls = ui.toolRow->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_GE(controls.size(), 15);
    for (QWidget* control : controls) {
        const QRect placed = control->geometry();
        EXPECT_TRUE(ui.toolRow->rect().contains(placed)) << control->metaObject()->className() << " right " << placed.right();
        for (QWidget* other : controls)
            EXPECT_TRUE(other == control || !placed.intersects(other->geometry()))
                << control->metaObject()->className() << " at " << placed.x() << " meets "
                << other->metaObject()->className() << " at " << other->geometry().x();
    }
    // The text field shows a word, not a sliver.
    EXPECT_GE(ui.toolRow->textEdit()->width(),
              ui.toolRow->textEdit()->fontMetrics().horizontalAdvance(QStringLiteral("HELLO")) + 8);
}

TEST_F(LogoWindowTest, PictureFileFiltersGoThroughTheTranslation)
{
    // Marks every text of the logo's context, as a translation replaces it.
    struct Marking : QTranslator {
        bool isEmpty() const override { return false; }
        QString translate(const char* context, const char* source, const char*, int) const override
        {
            return qstrcmp(context, "Logo") == 0 ? "<" + QString::fromUtf8(source) + ">" : QString();
        }
    } marking;
    QCoreApplication::installTranslator(&marking);
    ui.loadButton->click();
    Click(ui.readButton);
    ui.saveButton->click();
    QCoreApplication::removeTranslator(&marking);
    ASSERT_EQ(prompts.Filters.size(), 2);
    for (const QString& filter : prompts.Filters)
        EXPECT_TRUE(filter.startsWith('<') && filter.endsWith('>') && filter.contains("Windows Bitmap (*.bmp)"))
            << filter.toStdString();
}

TEST_F(LogoWindowTest, LayoutMatchesTheDesign)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Logo manager"));
    EXPECT_EQ(ui.dotMatrix->geometry(), QRect(16, 62, 424, 244));
    EXPECT_EQ(ui.dotMatrix->sizeHint(), QSize(424, 244));
    EXPECT_EQ(ui.progressBar->ledCount(), 6);
    for (QPushButton* button : {ui.readButton, ui.saveButton, ui.writeButton, ui.loadButton})
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width())
            << button->text().toStdString();
}

} // namespace

TEST_F(LogoWindowTest, KeyboardTogglesTheDotUnderTheMatrixCursorOnlyWhileEditing)
{
    auto* raster = ui.dotMatrix;
    QTest::keyClick(raster, Qt::Key_Space);
    EXPECT_EQ(DarkCells(), kLogoCellCount); // "Edit" is off

    ui.editLed->setChecked(true);
    EXPECT_EQ(raster->focusPolicy(), Qt::StrongFocus);
    QTest::keyClick(raster, Qt::Key_Right);
    QTest::keyClick(raster, Qt::Key_Down);
    QTest::keyClick(raster, Qt::Key_Space);
    EXPECT_FALSE(Dark(1, 1));
    EXPECT_EQ(DarkCells(), kLogoCellCount - 1);
    EXPECT_EQ(logoDotsFromPicture(form.picture()), matrixDotsOf(form));
    form.undo();
    EXPECT_TRUE(Dark(1, 1));

    ui.editLed->setChecked(false);
    EXPECT_EQ(raster->focusPolicy(), Qt::NoFocus);
}
