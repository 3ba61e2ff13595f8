#include <QLabel>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "Unit2.h"
#include "Unit3.h"
#include "Unit4.h"
#include "Unit5.h"
#include "VrLabel.h"
#include "ui_Unit1.h"
#include "ui_Unit3.h"

namespace {

// Every label of the window shows its whole text with the fonts in use here.
void ExpectNoClippedLabels(const QWidget& window)
{
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->window() != &window || label->text().isEmpty())
            continue;
        const QSize text = label->fontMetrics().size(0, label->text());
        EXPECT_LE(text.width(), label->contentsRect().width())
            << window.objectName().toStdString() << "." << label->objectName().toStdString() << " \""
            << label->text().toStdString() << "\"";
        EXPECT_LE(label->geometry().right(), window.width() - 1) << label->objectName().toStdString();
    }
    for (const TVrLabel* label : window.findChildren<TVrLabel*>()) {
        if (label->window() != &window)
            continue;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->Caption()) + 4, label->width())
            << window.objectName().toStdString() << "." << label->objectName().toStdString();
        EXPECT_LE(label->geometry().right(), window.width() - 1) << label->objectName().toStdString();
    }
}

}  // namespace

TEST(WindowLayout, NoLabelIsClippedInAnyWindow)
{
    AppUnderTest app;
    // Captions that only handlers set are filled in as a session would.
    app.Main().SetInfoCaption("V 4.10\nNMT-650");
    app.Main().SetSerNumCaption("4711082015");
    for (const QWidget* window : std::initializer_list<const QWidget*>{FMain, About, Form2, Form4, Form5})
        ExpectNoClippedLabels(*window);
}

TEST(WindowLayout, MainWindowAndAboutBoxOpenAtTheirDesignedPlaces)
{
    AppUnderTest app;
    EXPECT_EQ(FMain->pos(), QPoint(253, 118));
    EXPECT_EQ(About->pos(), QPoint(189, 109));
    // The label that grew for its text still starts where it was designed.
    EXPECT_EQ(app.Main().ui()->Label2->pos(), QPoint(145, 253));
}

TEST(WindowLayout, AboutBoxShowsItsPictureAtFullSize)
{
    AppUnderTest app;
    const QPixmap picture = About->ui()->Image1->pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(106, 141));
}
