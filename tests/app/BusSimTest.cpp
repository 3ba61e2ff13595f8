// The program against m2bus-sim on the bus model (one half-duplex wire at
// line rate, overlapping bytes garbled): the jobs succeed and the simulator
// counts no collision, for a quick and a slow handset.
#include <QLabel>
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "app/AppFixture.h"
#include "logo/LogoTransfer.h"
#include "phonebook/PhonebookTransfer.h"

TEST(BusSim, CommandsAndTransfersCollideWithNothing)
{
    for (const char* turnaround : {"5", "150"}) {
        SCOPED_TRACE(turnaround);
        AppUnderTest app({"--bus", "--turnaround", turnaround});
        MainWindow& main = app.Main();
        main.connectToPhone();
        ASSERT_TRUE(app.WaitUntilIdle());
        EXPECT_EQ(main.findChild<QLabel*>("serialNumberLabel")->text(), "4711082015");
        main.switchNetMonitorOn();
        ASSERT_TRUE(app.WaitUntilIdle());
        int wrong = 0;
        ASSERT_TRUE(app.RunOnLink([&wrong](JobContext& job) {
            for (int location = 0; location < 3; ++location) {
                wrong += writeRecord(job.link(), location, {"Bus", "12345"}) ? 0 : 1;
                const LinkResult<PhonebookEntry> read = readRecord(job.link(), location);
                wrong += read && *read == PhonebookEntry{"Bus", "12345"} ? 0 : 1;
            }
            LogoBlock block{};
            block.fill(0x5A);
            wrong += writeLogoBlock(job.link(), 2, block) ? 0 : 1;
        }));
        EXPECT_EQ(wrong, 0);
        main.resetHandset();
        ASSERT_TRUE(app.WaitUntilIdle());
        EXPECT_TRUE(app.prompts.Notices.isEmpty()) << app.prompts.Notices.join('|').toStdString();
        EXPECT_EQ(app.sim.Collisions(), 0u);
    }
}
