#include "tools/ShotContent.h"

#include <QComboBox>
#include <QPlainTextEdit>

#include <QImage>
#include <QLineEdit>
#include <QStringList>
#include <QPainter>
#include <stdexcept>
#include <utility>

#include "widgets/Prompts.h"
#include "app/DialledNumbersDialog.h"
#include "app/MainWindow.h"
#include "widgets/Led.h"
#include "link/ServiceCommands.h"
#include "phonebook/ui/PhonebookWindow.h"
#include "phonebook/ui/RecordEditor.h"
#include "logo/ui/LogoImportDialog.h"
#include "logo/ui/LogoWindow.h"
#include "tools/ImportDialogShot.h"
#include "sms/ui/SmsWindow.h"
#include "sms/ui/OperatorDialog.h"
#include "text/WinText.h"

namespace {

// Answers the one file dialog of the logo load with a fixed file.
class FixedFilePrompts : public Prompts {
public:
    explicit FixedFilePrompts(QString fileName)
        : fileName_(std::move(fileName))
    { }
    bool confirm(QWidget*, const QString&) override { return false; }
    void notice(QWidget*, const QString& text) override { notices_ << text; }
    QString openFileName(QWidget*, const QString&, const QString&) override { return fileName_; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<UserAndPassword> credentials(QWidget*, const QString&, const UserAndPassword&) override
    {
        return std::nullopt;
    }
    // The import as the dialog's own screenshot shows it: fitted and dithered.
    bool runDialog(QDialog& dialog) override
    {
        if (auto* import = qobject_cast<LogoImportDialog*>(&dialog))
            import->setOptions(ShotImportOptions());
        return true;
    }
    const QStringList& notices() const { return notices_; }

private:
    QString fileName_;
    QStringList notices_;
};

} // namespace

void FillMainWindow(MainWindow& main)
{
    // As the simulator's reply decodes: its padding shows as dots.
    main.showReadings({"V 4.10\n12-03-98\nNMT-650.........", "4711082015", true});
    for (const char* light : {"ackLed", "packLed"})
        main.findChild<Led*>(light)->setActive(true);
}

void FillPhonebook(MainWindow& main)
{
    struct Row {
        const char* name; // Windows-1251 bytes
        const char* number;
    };
    static constexpr Row rows[] = {
        {"Service centre", "+78127654321"},
        {"Ivanov Petr", "8-812-555-01-02"},
        {"\xC8\xE2\xE0\xED\xEE\xE2 \xCF\xE5\xF2\xF0", "89115550102"}, // Cyrillic "Ivanov Petr"
        {"\xC4\xEE\xEC", "2345678"}, // Cyrillic "Home"
        {"\xD0\xE0\xE1\xEE\xF2\xE0 \xEE\xF4\xE8\xF1", "+7-812-100-20-30"}, // Cyrillic "Work office"
        {"Taxi", "068"},
        {"ABCDEFGHIJKLMNOP", "+123456789012345678901234567890"}, // both fields at their full length
    };
    PhonebookWindow& book = main.phonebookWindow();
    int location = 0;
    for (const Row& r : rows)
        book.records().setRow(location++, {fromWin1251(r.name), fromWin1251(r.number)});
    book.selectLocation(2);
}

void FillRecordEditor(MainWindow& main)
{
    RecordEditor& editor = *main.findChild<RecordEditor*>();
    editor.setWindowTitle("Edit Record #3");
    editor.setRecord(fromWin1251("\xC8\xE2\xE0\xED\xEE\xE2 \xCF\xE5\xF2\xF0"), "89115550102");
}

// The SMS window after the user chose an operator and typed a message.
void FillSendSms(MainWindow& main)
{
    SmsWindow& sms = main.smsWindow();
    sms.findChild<QComboBox*>("operatorBox")->setEditText("Demo POST");
    sms.findChild<QLineEdit*>("prefixEdit")->setText("8");
    sms.findChild<QLineEdit*>("numberEdit")->setText("9161234567");
    sms.findChild<QPlainTextEdit*>("messageEdit")
        ->setPlainText(fromWin1251("\xCF\xF0\xE8\xE2\xE5\xF2! Hello from the M2Bus Service Tool."));
}

// The operator dialog filled with a profile, as "Edit" shows it.
void FillOperatorSettings(MainWindow& main)
{
    const std::pair<const char*, const char*> fields[] = {
        {"operatorEdit", "Demo POST"}, {"urlEdit", "127.0.0.1:8081/sms"}, {"numberFieldEdit", "phone"},
        {"prefixEdit", "8"},           {"textFieldEdit", "msg"},          {"submitNameEdit", "send"},
        {"submitValueEdit", "Send"},   {"extraName1Edit", "lang"},        {"extraValue1Edit", "ru"},
        {"replyEdit", "OK"},           {"refererEdit", "127.0.0.1:8081/"}};
    for (const auto& [name, text] : fields)
        main.smsWindow().findChild<OperatorDialog*>()->findChild<QLineEdit*>(name)->setText(text);
}

// As read from a handset that keeps no third number.
void FillDialledNumbers(MainWindow& main)
{
    main.dialledNumbersDialog().showNumbers(
        {"+79217654321", {"89115550102", "068", std::nullopt, "+78127654321", "112"}});
}

void FillLogoManager(MainWindow& main, const QDir& workDir)
{
    const QString file = workDir.filePath("landscape.png");
    if (!PhotoLikePicture().save(file, "PNG"))
        throw std::runtime_error("cannot write " + file.toStdString());
    FixedFilePrompts answers(file);
    Prompts* previous = setPrompts(&answers);
    main.logoWindow().loadFromFile();
    setPrompts(previous);
    if (!answers.notices().isEmpty())
        throw std::runtime_error("logo load failed: " + answers.notices().join(' ').toStdString());
}
