#include <QPushButton>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "ui_Unit1.h"

TEST(ServiceButtons, ConnectReadsVersionAndSerialFromTheSimulator)
{
    AppUnderTest app;
    Ui::TFMain& ui = *app.Main().ui();
    ui.btInfo->click();
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << app.prompts.Notices.join("|").toStdString();
    EXPECT_FALSE(ui.lblInfo->text().isEmpty());
    EXPECT_EQ(ui.lblSerNum->text().size(), 10);
    EXPECT_TRUE(ui.btInfo->isEnabled());
    EXPECT_FALSE(ui.ledACK->Active());
}
