#include <QLocale>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "app/Translations.h"
#include "widgets/ErrorReport.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "ui_MainWindow.h"

namespace {

struct Shown {
    QString connect;
    QString phoneHeader;
    QString writeQuestion;
    QStringList reported; // errors of the lower layers, pieced together in English
};

const QStringList kReported{"Unable to write to /tmp/Operators.ini: No space left on device.",
                            "The gateway did not answer within 30 seconds.", "Write error (5), Access is denied."};

// Installs the translators under the locale, then makes the windows and reads
// a form text, a text set in code and a question, as a user would meet them.
Shown ShownUnder(const QLocale& locale, bool& translationFound)
{
    const QLocale before;
    QLocale::setDefault(locale);
    translationFound = InstallTranslations();
    Shown shown;
    {
        AppUnderTest app;
        shown.connect = app.Main().ui()->connectButton->text();
        phonebookWindow->show();
        shown.phoneHeader = phonebookWindow->cellText(2, 0);
        phonebookWindow->hide();
        phonebookWindow->writeAllToPhone();
        shown.writeQuestion = app.prompts.Questions.value(0);
    }
    for (const QString& message : kReported)
        shown.reported << TranslateReportedText(message);
    RemoveTranslations();
    QLocale::setDefault(before);
    return shown;
}

} // namespace

TEST(Translation, RussianLocaleShowsRussian)
{
    bool found = false;
    const Shown shown = ShownUnder(QLocale(QLocale::Russian, QLocale::Russia), found);
    EXPECT_TRUE(found);
    EXPECT_EQ(shown.connect, QString::fromUtf8("Подключиться"));
    EXPECT_EQ(shown.phoneHeader, QString::fromUtf8("Телефон"));
    EXPECT_EQ(shown.writeQuestion,
              QString::fromUtf8("Вы действительно хотите записать текущую телефонную книгу в телефон?"));
    EXPECT_EQ(shown.reported,
              (QStringList{QString::fromUtf8("Не удаётся записать в /tmp/Operators.ini: No space left on device."),
                           QString::fromUtf8("Шлюз не ответил за 30 с."),
                           QString::fromUtf8("Ошибка записи (5), Access is denied.")}));
}

TEST(Translation, EnglishLocaleKeepsTheEnglishTexts)
{
    bool found = true;
    const Shown shown = ShownUnder(QLocale(QLocale::English, QLocale::UnitedStates), found);
    EXPECT_FALSE(found);
    EXPECT_EQ(shown.connect, "Connect to Phone");
    EXPECT_EQ(shown.phoneHeader, "Phone");
    EXPECT_EQ(shown.writeQuestion, "Do You really want to write current phonebook into Phone?");
    EXPECT_EQ(shown.reported, kReported);
}
