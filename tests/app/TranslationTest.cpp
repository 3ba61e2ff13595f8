#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <gtest/gtest.h>

#include "AppFixture.h"
#include "app/Translations.h"
#include "widgets/ErrorReport.h"
#include "widgets/Prompts.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "MainWindowControls.h"

namespace {

struct Shown {
    QString connect;
    QString phoneHeader;
    QString writeQuestion;
    QStringList reported; // errors of the lower layers, pieced together in English
};

const QStringList kReported{"Unable to write to /tmp/Operators.ini: No space left on device.",
                            "The gateway did not answer within 30 seconds.", "Write error (5), Access is denied.",
                            "The gateway did not complete its reply within 120 seconds."};

// Installs the translators under the locale, then makes the windows and reads
// a form text, a text set in code and a question, as a user would meet them.
Shown ShownUnder(const QLocale& locale, bool& translationFound)
{
    const QLocale before;
    QLocale::setDefault(locale);
    translationFound = installTranslations();
    Shown shown;
    {
        AppUnderTest app;
        shown.connect = MainWindowControls(&app.Main()).connectButton->text();
        PhonebookWindow& book = app.Main().phonebookWindow();
        book.show();
        shown.phoneHeader = book.records().headerData(PhonebookModel::NumberColumn, Qt::Horizontal).toString();
        book.hide();
        book.writeAllToPhone();
        shown.writeQuestion = app.prompts.Questions.value(0);
    }
    for (const QString& message : kReported)
        shown.reported << translateReportedText(message);
    removeTranslations();
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
                           QString::fromUtf8("Ошибка записи (5), Access is denied."),
                           QString::fromUtf8("Шлюз не завершил ответ за 120 с.")}));
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

// The program's file dialogs are Qt's own, whose texts Qt's Russian (built
// into the program) translates; the desktop's would speak the desktop's
// language, or none where the system lacks the locale.
TEST(Translation, FileDialogsAreQtsOwnAndSpeakRussian)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    ASSERT_TRUE(installTranslations());
    EXPECT_TRUE(QFile::exists(":/i18n/qtbase_ru.qm"));
    struct Seen {
        bool qtsOwn = false;
        QString lookIn;
        QString fileName;
    };
    QList<Seen> seen;
    const auto lookAtTheDialog = [&seen] {
        QTimer::singleShot(0, [&seen] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            const auto text = [dialog](const char* name) {
                const auto* label = dialog->findChild<QLabel*>(name);
                return label ? label->text() : QString();
            };
            seen.append({dialog->testOption(QFileDialog::DontUseNativeDialog), text("lookInLabel"), text("fileNameLabel")});
            dialog->reject();
        });
    };
    lookAtTheDialog();
    prompts().openFileName(nullptr, "Open", "All files (*)");
    lookAtTheDialog();
    prompts().saveFileName(nullptr, "Save", "All files (*)", "log");
    removeTranslations();
    QLocale::setDefault(before);

    ASSERT_EQ(seen.size(), 2);
    for (const Seen& dialog : seen) {
        EXPECT_TRUE(dialog.qtsOwn);
        EXPECT_EQ(dialog.lookIn, QString::fromUtf8("Перейти к:"));
        EXPECT_EQ(dialog.fileName, QString::fromUtf8("&Имя файла:"));
    }
}
