// The window thread kept busy while the windows move the phonebook and the
// logo over the bus model: a slot that takes 300 ms runs every second. The
// link has a thread of its own, so every reply of the handset is still
// acknowledged at once, nothing has to be asked for twice, and the data
// come through as they would on an idle desktop.
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "AppFixture.h"
#include "logo/ui/LogoWindow.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "phonebook/PhonebookControls.h"
#include "logo/LogoControls.h"
#include "sim/HandsetStateFile.h"
#include "widgets/CheckLed.h"
#include "widgets/DotMatrix.h"

TEST(BusyWindow, ASlowSlotDuringTransfersChangesNothing)
{
    AppUnderTest app({"--bus", "--turnaround", "20"});
    QTimer busy;
    busy.setInterval(1000);
    int slowSlots = 0;
    QObject::connect(&busy, &QTimer::timeout, [&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ++slowSlots;
    });
    busy.start();

    PhonebookWindow& book = app.Main().phonebookWindow();
    for (int row = 1; row <= PhonebookWindow::kRecordRows; ++row) {
        book.records().setRow(row - 1, {QStringLiteral("Busy %1").arg(row), book.records().row(row - 1).number});
        book.records().setRow(row - 1, {book.records().row(row - 1).name, QStringLiteral("+7495%1").arg(row * 1013)});
    }
    app.prompts.Answers = {true};
    ASSERT_TRUE(app.Click(PhonebookWindowControls(&book).writeAllButton));
    for (int row = 1; row <= PhonebookWindow::kRecordRows; ++row)
        book.records().setRow(row - 1, {QStringLiteral("stale"), book.records().row(row - 1).number});
    ASSERT_TRUE(app.Click(PhonebookWindowControls(&book).readButton));
    int wrong = 0;
    for (int row = 1; row <= PhonebookWindow::kRecordRows; ++row) {
        wrong += book.records().row(row - 1).name == QStringLiteral("Busy %1").arg(row) ? 0 : 1;
        wrong += book.records().row(row - 1).number == QStringLiteral("+7495%1").arg(row * 1013) ? 0 : 1;
    }
    EXPECT_EQ(wrong, 0);

    LogoWindow& logo = app.Main().logoWindow();
    logo.show();
    ASSERT_TRUE(app.Click(LogoWindowControls(&logo).readButton));
    // The bottom-right dot turned over with the mouse, in edit mode.
    QTest::mouseClick(LogoWindowControls(&logo).editLed, Qt::LeftButton, {}, LogoWindowControls(&logo).editLed->checkRect().center());
    QTest::mouseClick(LogoWindowControls(&logo).dotMatrix, Qt::LeftButton, {}, QPoint(2 + 5 * 83 + 2, 2 + 5 * 47 + 2));
    const bool cornerDot = !LogoWindowControls(&logo).dotMatrix->isLit(47 * 84 + 83); // a lit cell is a clear dot
    ASSERT_TRUE(app.Click(LogoWindowControls(&logo).writeButton));
    busy.stop();
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << app.prompts.Notices.join('|').toStdString();
    EXPECT_GE(slowSlots, 10);

    EXPECT_EQ(app.sim.Stop(), 0);
    const std::optional<handset::HandsetState> state = handset::loadStateFile(app.sim.StatePath());
    ASSERT_TRUE(state);
    EXPECT_EQ((state->logo[5][83] & 0x80) != 0, cornerDot);
    EXPECT_EQ(state->phonebook[56][0], QStringLiteral("+7495%1").arg(57 * 1013).size());

    // Every whole reply the handset sent was acknowledged, each well before
    // the window thread woke from a 300 ms sleep (the margin is for a loaded
    // machine, where the simulator itself runs late); and no request went out
    // twice (100 writes, the reset, 100 reads, a serial number read after
    // each of the two, 12 blocks).
    const QRegularExpression summary(
        QStringLiteral("(\\d+) whole replies, (\\d+) acknowledged, the longest acknowledgement ([0-9.]+) ms"));
    const QRegularExpressionMatch match = summary.match(QString::fromStdString(app.sim.ErrorOutput()));
    ASSERT_TRUE(match.hasMatch()) << app.sim.ErrorOutput();
    EXPECT_EQ(match.captured(1).toInt(), 100 + 1 + 100 + 2 + 12);
    EXPECT_EQ(match.captured(2).toInt(), match.captured(1).toInt());
    EXPECT_LT(match.captured(3).toDouble(), 150.0);
}
