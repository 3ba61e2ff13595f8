// What a screen reader reads from the custom widgets, through Qt's accessibility interfaces.
// (The offscreen platform has no accessibility bridge, so the change notices go unheard here.)
#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>

#include "widgets/CheckLed.h"
#include "widgets/DotMatrix.h"
#include "widgets/Led.h"
#include "widgets/LedBar.h"
#include "widgets/LedProgressBar.h"
#include "widgets/RaisedLabel.h"

namespace {

TEST(Accessibility, LedsAndLabelsSayWhatTheyShowAndWhetherTheyAreOn)
{
    Led led;
    led.setCaption(QStringLiteral("NetMonitor status"));
    QAccessibleInterface* lamp = QAccessible::queryAccessibleInterface(&led);
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->text(QAccessible::Name), "NetMonitor status");
    EXPECT_FALSE(lamp->state().checked);
    EXPECT_EQ(lamp->text(QAccessible::Description), "Off");
    led.on();
    EXPECT_TRUE(lamp->state().checked);
    EXPECT_EQ(lamp->text(QAccessible::Description), "On");
    led.setAccessibleName(QStringLiteral("ACK"));
    EXPECT_EQ(lamp->text(QAccessible::Name), "ACK") << "a name the window gives wins";

    CheckLed edit;
    edit.setCaption(QStringLiteral("Edit"));
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(&edit);
    EXPECT_EQ(box->role(), QAccessible::CheckBox);
    EXPECT_EQ(box->text(QAccessible::Name), "Edit");
    box->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(edit.isChecked());
    EXPECT_TRUE(box->state().checked);

    RaisedLabel title;
    title.setCaption(QStringLiteral("Version INFO"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&title)->text(QAccessible::Name), "Version INFO");
}

TEST(Accessibility, BarsGiveTheirValueAndRange)
{
    LedProgressBar progress;
    progress.setMaximum(99);
    progress.setValue(33);
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(&progress);
    ASSERT_NE(bar->valueInterface(), nullptr);
    EXPECT_EQ(bar->role(), QAccessible::ProgressBar);
    EXPECT_EQ(bar->valueInterface()->currentValue(), 33);
    EXPECT_EQ(bar->valueInterface()->minimumValue(), 0);
    EXPECT_EQ(bar->valueInterface()->maximumValue(), 99);
    EXPECT_EQ(bar->text(QAccessible::Value), "33%");

    LedBar steps;
    steps.setMinimum(-1);
    steps.setMaximum(6);
    steps.setValue(3);
    QAccessibleInterface* leds = QAccessible::queryAccessibleInterface(&steps);
    ASSERT_NE(leds->valueInterface(), nullptr);
    EXPECT_EQ(leds->valueInterface()->currentValue(), 3);
    EXPECT_EQ(leds->valueInterface()->minimumValue(), -1);
    EXPECT_EQ(leds->text(QAccessible::Value), "57%");
    steps.setValue(99); // shown as full
    EXPECT_EQ(leds->valueInterface()->currentValue(), 6);
}

TEST(Accessibility, DotMatrixSaysItsSizeAndWhileEditableTheCellUnderTheCursor)
{
    DotMatrix raster;
    QAccessibleInterface* matrix = QAccessible::queryAccessibleInterface(&raster);
    EXPECT_EQ(matrix->text(QAccessible::Name), "Dot matrix");
    EXPECT_EQ(matrix->text(QAccessible::Description), "84 × 48 dots");
    EXPECT_TRUE(matrix->state().readOnly);

    raster.setEditable(true);
    raster.setLit(85, true);
    EXPECT_TRUE(matrix->state().editable);
    EXPECT_TRUE(matrix->state().focusable);
    EXPECT_EQ(matrix->text(QAccessible::Value), "Column 1, row 1, unlit");
    QTest::keyClick(&raster, Qt::Key_Right);
    QTest::keyClick(&raster, Qt::Key_Down);
    EXPECT_EQ(matrix->text(QAccessible::Value), "Column 2, row 2, lit");
    EXPECT_EQ(matrix->text(QAccessible::Description), "84 × 48 dots; Column 2, row 2, lit");
    raster.setLit(85, false);
    EXPECT_EQ(matrix->text(QAccessible::Value), "Column 2, row 2, unlit");
}

} // namespace
