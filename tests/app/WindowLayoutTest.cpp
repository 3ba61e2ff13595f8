#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QHeaderView>
#include <QStyle>
#include <QTableView>
#include <gtest/gtest.h>

#include "link/ServiceCommands.h"

#include "AppFixture.h"
#include "app/Translations.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "app/AboutDialog.h"
#include "app/DialledNumbersDialog.h"
#include "phonebook/ui/RecordEditor.h"
#include "logo/ui/LogoWindow.h"
#include "logo/ui/LogoToolRow.h"
#include "sms/ui/SmsWindow.h"
#include "sms/ui/OperatorDialog.h"
#include "widgets/RaisedLabel.h"
#include "MainWindowControls.h"
#include "ui_AboutDialog.h"

namespace {

bool IsControl(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QComboBox*>(w)
        || qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QAbstractScrollArea*>(w);
}

// Every label of the window shows its whole text with the fonts in use here,
// and no control of the same panel covers that text.
void ExpectNoClippedLabels(const QWidget& window)
{
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->window() != &window || label->text().isEmpty())
            continue;
        const std::string name = window.objectName().toStdString() + "." + label->objectName().toStdString() + " \""
            + label->text().toStdString() + "\"";
        const QSize text = label->fontMetrics().size(0, label->text());
        EXPECT_LE(text.width(), label->contentsRect().width()) << name;
        EXPECT_LE(text.height(), label->contentsRect().height()) << name;
        EXPECT_LE(label->geometry().right(), window.width() - 1) << label->objectName().toStdString();
        const QRect box = label->contentsRect().translated(label->pos());
        const QRect shown = QStyle::alignedRect(Qt::LeftToRight, label->alignment(), text, box);
        for (const QWidget* other : label->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (IsControl(other) && !other->isHidden()) {
                EXPECT_FALSE(shown.intersects(other->geometry()))
                    << name << " under " << other->objectName().toStdString();
            }
        }
    }
    for (const RaisedLabel* label : window.findChildren<RaisedLabel*>()) {
        if (label->window() != &window)
            continue;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->caption()) + 4, label->width())
            << window.objectName().toStdString() << "." << label->objectName().toStdString();
        EXPECT_LE(label->geometry().right(), window.width() - 1) << label->objectName().toStdString();
    }
}

// Every window of the program, each made as when first needed.
std::vector<const QWidget*> AllWindows(MainWindow& main)
{
    return {&main,
            &main.aboutDialog(),
            &main.phonebookWindow(),
            main.findChild<RecordEditor*>(),
            &main.logoWindow(),
            &main.smsWindow(),
            main.smsWindow().findChild<OperatorDialog*>(),
            &main.dialledNumbersDialog()};
}

} // namespace

TEST(WindowLayout, NoLabelIsClippedInAnyWindow)
{
    AppUnderTest app;
    // Captions that only handlers set are filled in as a session would: the
    // version as the simulator's reply decodes (padding shows as dots), and
    // the longest three lines a reply can hold.
    app.Main().showReadings({std::nullopt, "4711082015", std::nullopt});
    for (const char* version : {"V 4.10\n12-03-98\nNMT-650.........", "V 12.345\n01-01-2000\nNMT-650 ABCD"}) {
        app.Main().showReadings({version, std::nullopt, std::nullopt});
        ExpectNoClippedLabels(app.Main());
    }
    for (const QWidget* window : AllWindows(app.Main()))
        ExpectNoClippedLabels(*window);
}

TEST(WindowLayout, MainWindowAndAboutBoxOpenAtTheirDesignedPlaces)
{
    AppUnderTest app;
    EXPECT_EQ(app.Main().pos(), QPoint(253, 118));
    EXPECT_EQ(app.Main().aboutDialog().pos(), QPoint(189, 109));
    // The label that grew for its text still starts where it was designed.
    EXPECT_EQ(MainWindowControls(&app.Main()).portLabel->pos(), QPoint(145, 253));
}

// The column and row headers are in the list's own typeface, as designed.
TEST(WindowLayout, PhonebookHeadersShowInTheListFont)
{
    AppUnderTest app;
    const auto* list = app.Main().phonebookWindow().findChild<QTableView*>("recordGrid");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->horizontalHeader()->font(), list->font());
    EXPECT_EQ(list->verticalHeader()->font(), list->font());
}

TEST(WindowLayout, AboutBoxShowsItsPictureAtFullSize)
{
    AppUnderTest app;
    const QPixmap picture = app.Main().aboutDialog().findChild<QLabel*>("pictureLabel")->pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(106, 141));
}

// Russian runs longer than the English the forms were laid out for.
TEST(WindowLayout, NoLabelIsClippedInRussian)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ASSERT_TRUE(installTranslations());
    {
        AppUnderTest app;
        for (const QWidget* window : AllWindows(app.Main()))
            ExpectNoClippedLabels(*window);
        // The logo's tool row is buttons and a text field side by side: each
        // stays inside the row and clear of the next, and the field
        // still shows a word.
        LogoWindow& logo = app.Main().logoWindow();
        logo.show();
        const LogoToolRow* row = logo.findChild<LogoToolRow*>();
        ASSERT_NE(row, nullptr);
        row->layout()->activate();
        EXPECT_TRUE(logo.rect().contains(row->geometry())) << row->geometry().right();
        const QList<QWidget*> controls = row->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (const QWidget* control : controls) {
            EXPECT_TRUE(row->rect().contains(control->geometry())) << control->objectName().toStdString();
            for (const QWidget* other : controls)
                EXPECT_TRUE(other == control || !control->geometry().intersects(other->geometry()))
                    << control->objectName().toStdString() << " meets " << other->objectName().toStdString();
        }
        EXPECT_GE(row->textEdit()->width(), row->textEdit()->fontMetrics().horizontalAdvance(QStringLiteral("ПРИВЕТ")));
    }
    removeTranslations();
    QLocale::setDefault(before);
}
