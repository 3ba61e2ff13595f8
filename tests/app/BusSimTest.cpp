// The program against m2bus-sim on the bus model (one half-duplex wire at
// line rate, overlapping bytes garbled): the jobs succeed and the simulator
// counts no collision, for a quick and a slow handset.
#include <QLabel>
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "app/AppFixture.h"

TEST(BusSim, CommandsAndTransfersCollideWithNothing)
{
    for (const char* turnaround : {"5", "150"}) {
        SCOPED_TRACE(turnaround);
        AppUnderTest app({"--bus", "--turnaround", turnaround});
        MainWindow& main = app.Main();
        main.connectToPhone();
        EXPECT_EQ(main.findChild<QLabel*>("serialNumberLabel")->text(), "4711082015");
        main.switchNetMonitorOn();
        for (int location = 0; location < 3; ++location) {
            EXPECT_TRUE(main.writeRecord(location, {"Bus", "12345"}));
            EXPECT_EQ(main.readRecord(location), (PhonebookEntry{"Bus", "12345"}));
        }
        LogoBlock block{};
        block.fill(0x5A);
        EXPECT_TRUE(main.writeLogoBlock(2, block));
        main.resetHandset();
        EXPECT_TRUE(app.prompts.Notices.isEmpty()) << app.prompts.Notices.join('|').toStdString();
        EXPECT_EQ(app.sim.Collisions(), 0u);
    }
}
