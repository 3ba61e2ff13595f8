#include <QApplication>
#include <QMap>
#include <QSettings>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "VaComm.h"
#include "ui_Unit1.h"

TEST(StartUp, WindowsAreMadeOnceInTheirOrderAndOnlyTheMainOneIsShown)
{
    AppUnderTest app;
    const std::vector<QWidget*>& made = AppWindowsInCreationOrder();
    ASSERT_EQ(made.size(), 5u);
    EXPECT_EQ(made[0], FMain);
    EXPECT_EQ(made[1], Form2);
    EXPECT_EQ(made[2], About);
    EXPECT_EQ(made[3], Form4);
    EXPECT_EQ(made[4], Form5);
    EXPECT_NE(qobject_cast<TFMain*>(made[0]), nullptr);
    EXPECT_NE(qobject_cast<TForm2*>(made[1]), nullptr);
    EXPECT_NE(qobject_cast<TAbout*>(made[2]), nullptr);
    EXPECT_NE(qobject_cast<TForm4*>(made[3]), nullptr);
    EXPECT_NE(qobject_cast<TForm5*>(made[4]), nullptr);

    QMap<QString, int> windowsOfClass;
    for (QWidget* window : QApplication::topLevelWidgets())
        ++windowsOfClass[window->metaObject()->className()];
    for (const char* name : {"TFMain", "TForm2", "TAbout", "TForm4", "TForm5"})
        EXPECT_EQ(windowsOfClass.value(name), 1) << name;

    FMain->show();
    QApplication::processEvents();
    int visibleWindows = 0;
    for (QWidget* window : QApplication::topLevelWidgets())
        visibleWindows += window->isVisible() ? 1 : 0;
    EXPECT_EQ(visibleWindows, 1);
    EXPECT_TRUE(FMain->isVisible());
    for (QWidget* other : {static_cast<QWidget*>(Form2), static_cast<QWidget*>(About), static_cast<QWidget*>(Form4),
                           static_cast<QWidget*>(Form5)})
        EXPECT_FALSE(other->isVisible()) << other->metaObject()->className();
}

TEST(StartUp, FirstRunShowsCom1AndUsesPort1)
{
    AppUnderTest app;
    app.Main().show();
    QApplication::processEvents();
    EXPECT_EQ(app.Main().ui()->cboxCOM->currentText(), "Com1");
    EXPECT_EQ(app.Main().VaComm1().PortNum(), 1);
}

// The stored choice takes effect when the window is first shown, before any
// command has opened the port.
TEST(StartUp, StoredPortIsTakenWhenTheMainWindowIsShown)
{
    AppUnderTest app({}, "Com3");
    EXPECT_EQ(app.Main().VaComm1().PortNum(), 1);
    app.Main().show();
    QApplication::processEvents();
    EXPECT_EQ(app.Main().ui()->cboxCOM->currentText(), "Com3");
    EXPECT_EQ(app.Main().VaComm1().PortNum(), 3);
    EXPECT_FALSE(app.Main().VaComm1().IsOpen());
}

TEST(StartUp, StoredTextThatIsNoPortNameIsShownButLeavesPort1)
{
    AppUnderTest app({}, "Com5");
    app.Main().show();
    QApplication::processEvents();
    EXPECT_EQ(app.Main().ui()->cboxCOM->currentText(), "Com5");
    EXPECT_EQ(app.Main().VaComm1().PortNum(), 1);
}

TEST(StartUp, ClosingTheMainWindowStoresThePortTextInItsSection)
{
    AppUnderTest app;
    app.Main().show();
    QApplication::processEvents();
    app.Main().ui()->cboxCOM->setEditText("Com2  ");
    EXPECT_TRUE(app.Main().close());
    QSettings store(app.StorePath(), QSettings::IniFormat);
    EXPECT_EQ(store.value("TFMain/cboxCOM_Text").toString(), "Com2");
    EXPECT_EQ(store.value("TFMain/FormVersion").toString(), "0");
    EXPECT_EQ(store.value("TFMain/Visible").toString(), "0");
}
