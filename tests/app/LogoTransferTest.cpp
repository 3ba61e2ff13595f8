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
#include "widgets/VrCheckLed.h"
#include "widgets/VrIndicator.h"
#include "logo/ui/Unit5.h"
#include "widgets/VrRaster.h"
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
    logo[0][0] = 0x01;   // only the top-left dot of the first band
    logo[5][83] = 0x80;  // only the bottom-right dot of the last band
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
        handset::HandsetState state = handset::DefaultHandsetState();
        state.logo = logo;
        handset::SaveStateFile(statePath, state);
        extraArgs.push_back("--state");
        extraArgs.push_back(statePath);
        app = std::make_unique<AppUnderTest>(extraArgs);
        Form5->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(Form5));
    }

    Logo StoppedLogo()
    {
        EXPECT_EQ(app->sim.Stop(), 0);
        handset::HandsetState state;
        EXPECT_TRUE(handset::LoadStateFile(statePath, state));
        return state.logo;
    }

    QTemporaryDir dir;
    const std::string statePath = dir.filePath("logo-state.txt").toStdString();
    std::unique_ptr<AppUnderTest> app;
};

void ExpectCellsShow(const TForm5& form, const Logo& logo)
{
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (form.VrRaster1->Items(y * kWidth + x) == DotSet(logo, x, y))
                ++wrong;  // a lit cell is a clear dot
    EXPECT_EQ(wrong, 0);
}

QPoint CellCentre(int x, int y) { return {2 + 5 * x + 2, 2 + 5 * y + 2}; }

std::vector<std::uint8_t> WriteRequest(int block, const handset::LogoBlock& data)
{
    std::vector<std::uint8_t> message{0x10, 0x08, 0x03, 0x00, 0x07, 0x3A, 0x7F, 0xF0, 0x00,
                                      static_cast<std::uint8_t>(block), 0x00, 0x00, 0x00, 0x54};
    message.insert(message.end(), data.begin(), data.end());
    return message;
}

}  // namespace

TEST(LogoTransfer, LoadedLogoUploadedUnchangedSendsTheSameBlocks)
{
    const Logo logo = PatternLogo();
    LogoSim sim(logo, {"--verbose"});
    TForm5& form = *Form5;
    form.BitBtn1->click();
    ASSERT_TRUE(sim.app->prompts.Notices.isEmpty()) << sim.app->prompts.Notices.join("|").toStdString();
    ExpectCellsShow(form, logo);
    EXPECT_EQ(form.Picture().pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(form.Picture().pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(form.Picture().pixel(83, 47), qRgb(0, 0, 0));
    EXPECT_EQ(form.Picture().pixel(83, 40), qRgb(255, 255, 255));

    form.BitBtn3->click();
    EXPECT_TRUE(sim.app->prompts.Notices.isEmpty()) << sim.app->prompts.Notices.join("|").toStdString();
    EXPECT_TRUE(form.BitBtn1->isEnabled());
    EXPECT_TRUE(form.BitBtn3->isEnabled());
    EXPECT_EQ(form.VrIndicator1->Position(), 0);

    EXPECT_EQ(sim.StoppedLogo(), logo);
    // The state alone cannot tell an upload from none: the write requests must be heard too.
    const std::vector<std::uint8_t> heard = BytesHeardBySim(sim.app->sim.ErrorOutput());
    for (int b = 0; b < 6; ++b)
        EXPECT_GE(TimesHeard(heard, WriteRequest(b, logo[static_cast<std::size_t>(b)])), 1) << "block " << b;
}

TEST(LogoTransfer, DotEditedWithTheMouseReachesTheHandsetAtItsBit)
{
    const Logo logo = PatternLogo();
    LogoSim sim(logo);
    TForm5& form = *Form5;
    form.BitBtn1->click();
    ASSERT_TRUE(sim.app->prompts.Notices.isEmpty()) << sim.app->prompts.Notices.join("|").toStdString();

    const int x = 37;
    const int y = 21;  // band 2, bit 5
    const int cell = y * kWidth + x;
    const bool litBefore = form.VrRaster1->Items(cell);
    QTest::mouseClick(form.VrRaster1, Qt::LeftButton, {}, CellCentre(x, y));
    EXPECT_EQ(form.VrRaster1->Items(cell), litBefore) << "edited with Edit off";

    QTest::mouseClick(form.VrCheckLed1, Qt::LeftButton, {}, form.VrCheckLed1->CheckRect().center());
    ASSERT_TRUE(form.VrCheckLed1->Checked());
    QTest::mouseClick(form.VrRaster1, Qt::LeftButton, {}, CellCentre(x, y));
    EXPECT_EQ(form.VrRaster1->Items(cell), !litBefore);

    form.BitBtn3->click();
    EXPECT_TRUE(sim.app->prompts.Notices.isEmpty()) << sim.app->prompts.Notices.join("|").toStdString();
    Logo expected = logo;
    expected[2][37] ^= 1 << 5;
    EXPECT_EQ(sim.StoppedLogo(), expected);
}

TEST(LogoTransfer, EditedLogoSurvivesThePacedLineWithTurnaround)
{
    const Logo logo = PatternLogo();
    LogoSim sim(logo, {"--pace", "--turnaround", "20"});
    TForm5& form = *Form5;
    form.BitBtn1->click();
    ASSERT_TRUE(sim.app->prompts.Notices.isEmpty()) << sim.app->prompts.Notices.join("|").toStdString();
    ExpectCellsShow(form, logo);

    QTest::mouseClick(form.VrCheckLed1, Qt::LeftButton, {}, form.VrCheckLed1->CheckRect().center());
    QTest::mouseClick(form.VrRaster1, Qt::LeftButton, {}, CellCentre(83, 47));
    QTest::mouseClick(form.VrRaster1, Qt::LeftButton, {}, CellCentre(0, 0));
    form.BitBtn3->click();
    EXPECT_TRUE(sim.app->prompts.Notices.isEmpty()) << sim.app->prompts.Notices.join("|").toStdString();
    Logo expected = logo;
    expected[5][83] = 0x00;
    expected[0][0] = 0x00;
    EXPECT_EQ(sim.StoppedLogo(), expected);
}

TEST(LogoTransfer, DeadLineGivesSixMessagesPerTransferAndLeavesTheWindowUsable)
{
    AppUnderTest app({"--silent"});
    TForm5& form = *Form5;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));

    form.BitBtn1->click();
    EXPECT_EQ(app.prompts.Notices, QStringList(6, kNoAnswer));
    // Nothing was received, so every band shows an empty block: all cells lit.
    int dark = 0;
    for (int i = 0; i < kWidth * kHeight; ++i)
        dark += form.VrRaster1->Items(i) ? 0 : 1;
    EXPECT_EQ(dark, 0);
    EXPECT_TRUE(form.BitBtn1->isEnabled());
    EXPECT_EQ(form.VrIndicator1->Position(), 0);

    form.BitBtn3->click();
    EXPECT_EQ(app.prompts.Notices, QStringList(12, kNoAnswer));
    EXPECT_TRUE(form.BitBtn3->isEnabled());
    EXPECT_EQ(form.VrIndicator1->Position(), 0);

    QTest::mouseClick(form.VrCheckLed1, Qt::LeftButton, {}, form.VrCheckLed1->CheckRect().center());
    QTest::mouseClick(form.VrRaster1, Qt::LeftButton, {}, CellCentre(5, 5));
    EXPECT_FALSE(form.VrRaster1->Items(5 * kWidth + 5));
}
