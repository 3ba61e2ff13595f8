// The logo manager and the main window against the simulated handset: the
// six blocks read and written back, one edited dot, and a dead line.
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppFixture.h"
#include "PhonebookSimLog.h"
#include "widgets/CheckLed.h"
#include "widgets/LedBar.h"
#include "logo/ui/LogoWindow.h"
#include "logo/LogoControls.h"
#include "widgets/DotMatrix.h"
#include "sim/HandsetStateFile.h"

namespace {

const QString kNoAnswer = QStringLiteral("No answer from phone!  Please, check cable connection!");
constexpr int kWidth = 84;
constexpr int kHeight = 48;

using Logo = std::array<handset::LogoBlock, handset::kLogoBlocks>;

// Irregular enough that a shifted band, a swapped bit order or a lost block shows.
Logo PatternLogo()
{
    Logo logo{};
    std::uint32_t x = 0x9E3779B9;
    for (auto& block : logo)
        for (auto& byte : block) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            byte = static_cast<std::uint8_t>(x);
        }
    logo[0][0] = 0x01; // only the top-left dot of the first band
    logo[5][83] = 0x80; // only the bottom-right dot of the last band
    return logo;
}

bool DotSet(const Logo& logo, int x, int y)
{
    return (logo[static_cast<std::size_t>(y / 8)][static_cast<std::size_t>(x)] >> (y % 8) & 1) != 0;
}

// The handset starts with `logo`; the simulator runs on a state file of ours.
class LogoSim {
public:
    explicit LogoSim(const Logo& logo, std::vector<std::string> extraArgs = {})
    {
        handset::HandsetState state = handset::defaultHandsetState();
        state.logo = logo;
        handset::saveStateFile(statePath, state);
        extraArgs.push_back("--state");
        extraArgs.push_back(statePath);
        app = std::make_unique<AppUnderTest>(extraArgs);
        app->Main().logoWindow().show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&app->Main().logoWindow()));
    }

    Logo StoppedLogo()
    {
        EXPECT_EQ(app->sim.Stop(), 0);
        const std::optional<handset::HandsetState> state = handset::loadStateFile(statePath);
        EXPECT_TRUE(state);
        return state.value_or(handset::HandsetState{}).logo;
    }

    QTemporaryDir dir;
    const std::string statePath = dir.filePath("logo-state.txt").toStdString();
    std::unique_ptr<AppUnderTest> app;
};

void ExpectCellsShow(const LogoWindow& form, const Logo& logo)
{
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (LogoWindowControls(&form).dotMatrix->isLit(y * kWidth + x) == DotSet(logo, x, y))
                ++wrong; // a lit cell is a clear dot
    EXPECT_EQ(wrong, 0);
}

QPoint CellCentre(int x, int y)
{
    return {2 + 5 * x + 2, 2 + 5 * y + 2};
}

std::vector<std::uint8_t> WriteRequest(int block, const handset::LogoBlock& data)
{
    std::vector<std::uint8_t> message{
        0x10, 0x08, 0x03, 0x00, 0x07, 0x3A, 0x7F, 0xF0, 0x00, static_cast<std::uint8_t>(block), 0x00, 0x00, 0x00, 0x54};
    message.insert(message.end(), data.begin(), data.end());
    return message;
}

} // namespace

TEST(LogoManager, LoadedLogoUploadedUnchangedSendsTheSameBlocks)
{
    const Logo logo = PatternLogo();
    LogoSim sim(logo, {"--verbose"});
    LogoWindow& form = sim.app->Main().logoWindow();
    ASSERT_TRUE(sim.app->Click(LogoWindowControls(&form).readButton));
    ASSERT_TRUE(sim.app->prompts.Notices.isEmpty()) << sim.app->prompts.Notices.join("|").toStdString();
    ExpectCellsShow(form, logo);
    EXPECT_EQ(form.picture().pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(form.picture().pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(form.picture().pixel(83, 47), qRgb(0, 0, 0));
    EXPECT_EQ(form.picture().pixel(83, 40), qRgb(255, 255, 255));

    ASSERT_TRUE(sim.app->Click(LogoWindowControls(&form).writeButton));
    EXPECT_TRUE(sim.app->prompts.Notices.isEmpty()) << sim.app->prompts.Notices.join("|").toStdString();
    EXPECT_TRUE(LogoWindowControls(&form).readButton->isEnabled());
    EXPECT_TRUE(LogoWindowControls(&form).writeButton->isEnabled());
    EXPECT_EQ(LogoWindowControls(&form).progressBar->value(), 0);

    EXPECT_EQ(sim.StoppedLogo(), logo);
    // The state alone cannot tell an upload from none: the write requests must be heard too.
    const std::vector<std::uint8_t> heard = BytesHeardBySim(sim.app->sim.ErrorOutput());
    for (int b = 0; b < 6; ++b)
        EXPECT_GE(TimesHeard(heard, WriteRequest(b, logo[static_cast<std::size_t>(b)])), 1) << "block " << b;
}

TEST(LogoManager, DotEditedWithTheMouseReachesTheHandsetAtItsBit)
{
    const Logo logo = PatternLogo();
    LogoSim sim(logo);
    LogoWindow& form = sim.app->Main().logoWindow();
    ASSERT_TRUE(sim.app->Click(LogoWindowControls(&form).readButton));
    ASSERT_TRUE(sim.app->prompts.Notices.isEmpty()) << sim.app->prompts.Notices.join("|").toStdString();

    const int x = 37;
    const int y = 21; // band 2, bit 5
    const int cell = y * kWidth + x;
    const bool litBefore = LogoWindowControls(&form).dotMatrix->isLit(cell);
    QTest::mouseClick(LogoWindowControls(&form).dotMatrix, Qt::LeftButton, {}, CellCentre(x, y));
    EXPECT_EQ(LogoWindowControls(&form).dotMatrix->isLit(cell), litBefore) << "edited with Edit off";

    QTest::mouseClick(LogoWindowControls(&form).editLed, Qt::LeftButton, {}, LogoWindowControls(&form).editLed->checkRect().center());
    ASSERT_TRUE(LogoWindowControls(&form).editLed->isChecked());
    QTest::mouseClick(LogoWindowControls(&form).dotMatrix, Qt::LeftButton, {}, CellCentre(x, y));
    EXPECT_EQ(LogoWindowControls(&form).dotMatrix->isLit(cell), !litBefore);

    ASSERT_TRUE(sim.app->Click(LogoWindowControls(&form).writeButton));
    EXPECT_TRUE(sim.app->prompts.Notices.isEmpty()) << sim.app->prompts.Notices.join("|").toStdString();
    Logo expected = logo;
    expected[2][37] ^= 1 << 5;
    EXPECT_EQ(sim.StoppedLogo(), expected);
}

TEST(LogoManager, EditedLogoSurvivesThePacedLineWithTurnaround)
{
    const Logo logo = PatternLogo();
    LogoSim sim(logo, {"--pace", "--turnaround", "20"});
    LogoWindow& form = sim.app->Main().logoWindow();
    ASSERT_TRUE(sim.app->Click(LogoWindowControls(&form).readButton));
    ASSERT_TRUE(sim.app->prompts.Notices.isEmpty()) << sim.app->prompts.Notices.join("|").toStdString();
    ExpectCellsShow(form, logo);

    QTest::mouseClick(LogoWindowControls(&form).editLed, Qt::LeftButton, {}, LogoWindowControls(&form).editLed->checkRect().center());
    QTest::mouseClick(LogoWindowControls(&form).dotMatrix, Qt::LeftButton, {}, CellCentre(83, 47));
    QTest::mouseClick(LogoWindowControls(&form).dotMatrix, Qt::LeftButton, {}, CellCentre(0, 0));
    ASSERT_TRUE(sim.app->Click(LogoWindowControls(&form).writeButton));
    EXPECT_TRUE(sim.app->prompts.Notices.isEmpty()) << sim.app->prompts.Notices.join("|").toStdString();
    Logo expected = logo;
    expected[5][83] = 0x00;
    expected[0][0] = 0x00;
    EXPECT_EQ(sim.StoppedLogo(), expected);
}

TEST(LogoManager, DeadLineGivesSixMessagesPerTransferAndLeavesTheWindowUsable)
{
    AppUnderTest app({"--silent"});
    LogoWindow& form = app.Main().logoWindow();
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    ASSERT_TRUE(app.Click(LogoWindowControls(&form).readButton));
    EXPECT_EQ(app.prompts.Notices, QStringList(6, kNoAnswer));
    // Nothing was received, so every band shows an empty block: all cells lit.
    int dark = 0;
    for (int i = 0; i < kWidth * kHeight; ++i)
        dark += LogoWindowControls(&form).dotMatrix->isLit(i) ? 0 : 1;
    EXPECT_EQ(dark, 0);
    EXPECT_TRUE(LogoWindowControls(&form).readButton->isEnabled());
    EXPECT_EQ(LogoWindowControls(&form).progressBar->value(), 0);

    ASSERT_TRUE(app.Click(LogoWindowControls(&form).writeButton));
    EXPECT_EQ(app.prompts.Notices, QStringList(12, kNoAnswer));
    EXPECT_TRUE(LogoWindowControls(&form).writeButton->isEnabled());
    EXPECT_EQ(LogoWindowControls(&form).progressBar->value(), 0);

    QTest::mouseClick(LogoWindowControls(&form).editLed, Qt::LeftButton, {}, LogoWindowControls(&form).editLed->checkRect().center());
    QTest::mouseClick(LogoWindowControls(&form).dotMatrix, Qt::LeftButton, {}, CellCentre(5, 5));
    EXPECT_FALSE(LogoWindowControls(&form).dotMatrix->isLit(5 * kWidth + 5));
}
