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
        TFMain& main = app.Main();
        main.btInfoClick();
        EXPECT_EQ(main.findChild<QLabel*>("lblSerNum")->text(), "4711082015");
        main.btNMOnClick();
        for (int location = 0; location < 3; ++location) {
            std::string name = "Bus", number = "12345";
            bool ok = false;
            main.PhBookWrite(location, name, number, ok);
            EXPECT_TRUE(ok);
            name.clear();
            number.clear();
            main.PhBookRead(location, name, number, ok);
            EXPECT_TRUE(ok && name == "Bus" && number == "12345");
        }
        std::array<std::uint8_t, 84> block{};
        block.fill(0x5A);
        int b = 2;
        bool ok = false;
        main.PutBitmap(block.data(), b, ok);
        EXPECT_TRUE(ok);
        main.btResetClick();
        EXPECT_TRUE(app.prompts.Notices.isEmpty()) << app.prompts.Notices.join('|').toStdString();
        EXPECT_EQ(app.sim.Collisions(), 0u);
    }
}
