// The windows as a keyboard user and a screen reader meet them: every
// control reached without a trap, commands that keep the focus, the menu on
// its keys, and what a reader hears of each control.
#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "sms/ui/SmsWindow.h"
#include "MainWindowControls.h"
#include "widgets/BevelFrame.h"

namespace {

class KeyboardAndReader : public ::testing::Test {
protected:
    void SetUp() override { app.Main().show(); }
    // Keys go to the active window's focus, as on a desktop.
    static bool Activate(QWidget& window)
    {
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window) && QTest::qWaitFor([&] {
                   return QApplication::activeWindow() == &window;
               });
    }
    MainWindowControls ui() { return MainWindowControls(&app.Main()); }

    AppUnderTest app;
};

// The controls Tab goes to from the focused one, named as the window names them.
QStringList TabChain(int steps)
{
    QStringList names;
    for (int i = 0; i < steps; ++i) {
        QWidget* at = QApplication::focusWidget();
        while (at && at->objectName().isEmpty())
            at = at->parentWidget(); // the port box's line edit is the box
        names << (at ? at->objectName() : QString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    return names;
}

QAccessibleInterface* Reader(QObject* object)
{
    return QAccessible::queryAccessibleInterface(object);
}

// Space on a command button runs that command once; the button is
// unavailable while it runs, and the focus comes back to it, not to the next
// command, so a second Space runs the same command again.
TEST_F(KeyboardAndReader, CommandButtonKeepsTheFocusThroughItsCommand)
{
    ASSERT_TRUE(Activate(app.Main()));
    QSignalSpy jobs(&app.Main().worker(), &LinkWorker::busyChanged);
    ui().netMonitorOffButton->setFocus();
    QTest::keyClick(ui().netMonitorOffButton, Qt::Key_Space);
    EXPECT_NE(QApplication::focusWidget(), ui().resetButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    ASSERT_TRUE(app.WaitUntilIdle());
    EXPECT_EQ(QApplication::focusWidget(), ui().netMonitorOffButton);
    EXPECT_EQ(jobs.count(), 2) << "one command started and ended, nothing else";
    EXPECT_TRUE(app.prompts.Notices.isEmpty()) << app.prompts.Notices.join('|').toStdString();
}

// Tab reaches every control of the main window, "?" included; the menu
// opens on Shift+F10 as on the menu key, and its items have shortcuts.
TEST_F(KeyboardAndReader, MainWindowControlsAndItsMenuAreReachedByKeys)
{
    ASSERT_TRUE(Activate(app.Main()));
    ui().connectButton->setFocus();
    EXPECT_EQ(TabChain(10),
              (QStringList{"connectButton", "netMonitorOnButton", "netMonitorOffButton", "resetButton", "portBox",
                           "phonebookButton", "smsButton", "logoButton", "aboutButton", "connectButton"}));

    ui().connectButton->setFocus();
    QTest::keyClick(ui().connectButton, Qt::Key_F10, Qt::ShiftModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QStringList shortcuts;
    for (QAction* action : menu->actions())
        if (action->isVisible())
            shortcuts << action->text() + " " + action->shortcut().toString();
    EXPECT_EQ(shortcuts,
              (QStringList{"Log frames to a file… Ctrl+L", "Back up handset… Ctrl+B", "Restore handset… Ctrl+R",
                           "Last dialled numbers… Ctrl+D"}));
    menu->close();

    // Each asks for its folder or file, and is cancelled there.
    app.prompts.FileNames = {QString(), QString()};
    QTest::keyClick(&app.Main(), Qt::Key_B, Qt::ControlModifier);
    QTest::keyClick(&app.Main(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(app.prompts.FileNames.empty()) << "Ctrl+B and Ctrl+R ask for the backup folder";
    QTest::keyClick(&app.Main(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(app.prompts.Filters.size(), 1) << "Ctrl+L asks for the log file";
}

// Tab moves on from the phonebook's list to its buttons and back; the
// arrows move within the list.
TEST_F(KeyboardAndReader, PhonebookListIsNoTrap)
{
    PhonebookWindow& book = app.Main().phonebookWindow();
    book.show();
    ASSERT_TRUE(Activate(book));
    auto* list = book.findChild<QTableView*>();
    ASSERT_NE(list, nullptr);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(book.selectedLocation(), 1);
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), list);
    EXPECT_TRUE(qobject_cast<QPushButton*>(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Backtab);
    EXPECT_NE(QApplication::focusWidget(), list);
    book.close();
}

// What a screen reader hears: names, roles and states.
TEST_F(KeyboardAndReader, EveryControlTellsAReaderItsNameRoleAndState)
{
    EXPECT_EQ(Reader(&app.Main())->role(), QAccessible::Window);

    for (Led* led : {ui().netMonitorLed, ui().ackLed, ui().packLed}) {
        EXPECT_EQ(Reader(led)->role(), QAccessible::CheckBox);
        EXPECT_TRUE(Reader(led)->state().readOnly);
    }
    EXPECT_EQ(Reader(ui().netMonitorLed)->text(QAccessible::Name), "NetMonitor status");
    EXPECT_FALSE(Reader(ui().netMonitorLed)->state().checked);
    ASSERT_TRUE(app.Click(ui().netMonitorOnButton));
    EXPECT_TRUE(Reader(ui().netMonitorLed)->state().checked);

    QStringList groups;
    for (BevelFrame* bevel : app.Main().findChildren<BevelFrame*>()) {
        EXPECT_EQ(Reader(bevel)->role(), QAccessible::Grouping);
        groups << Reader(bevel)->text(QAccessible::Name);
    }
    groups.sort();
    EXPECT_EQ(groups, (QStringList{"Link lights", "NetMonitor status", "Serial Num.", "Version INFO"}));

    // Qt names a combo box on Linux by its label relation.
    QAccessibleInterface* port = Reader(ui().portBox);
    const auto labels = port->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->object(), ui().portLabel);

    EXPECT_EQ(Reader(ui().aboutButton)->text(QAccessible::Name), "About");
    EXPECT_FALSE(Reader(ui().aboutButton)->text(QAccessible::Description).isEmpty());

    EXPECT_EQ(Reader(app.Main().phonebookWindow().findChild<QTableView*>())->text(QAccessible::Name),
              "Phonebook records");
    SmsWindow& sms = app.Main().smsWindow();
    QStringList fields;
    for (const char* name : {"operatorBox", "numberEdit", "prefixEdit", "messageEdit"})
        fields << Reader(sms.findChild<QWidget*>(name))->text(QAccessible::Name);
    EXPECT_EQ(fields, (QStringList{"Operator", "Phone number", "Number prefix", "Message (<160 symbols)"}));
}

} // namespace
