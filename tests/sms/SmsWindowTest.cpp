#include "sms/ui/OperatorDialog.h"
#include "sms/ProfileIniFile.h"
#include "sms/OperatorValueList.h"
#include "sms/ui/SmsWindow.h"
#include "SmsControls.h"

#include "files/SettingsStore.h"
#include "widgets/WindowStateStore.h"
#include "widgets/Prompts.h"
#include "text/WinText.h"
#include "support/AsNobody.h"
#include "support/HttpTestServer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>
#include <deque>
#include <functional>
#include <optional>
#include <tuple>

namespace {

const std::string kSuccessWin = "\xd1\xee\xee\xe1\xf9\xe5\xed\xe8\xe5 \xee\xf2\xef\xf0\xe0\xe2\xeb\xe5\xed\xee";
const std::string kSuccessKoi = "\xf3\xcf\xcf\xc2\xdd\xc5\xce\xc9\xc5 \xcf\xd4\xd0\xd2\xc1\xd7\xcc\xc5\xce\xcf";
const QString kSentNotice = "Your message was sent succesfully!";

class ScriptedPrompts : public Prompts {
public:
    std::deque<bool> answers;
    std::vector<QString> confirms;
    std::vector<QString> notices;

    bool confirm(QWidget*, const QString& text) override
    {
        confirms.push_back(text);
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return false;
        }
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::function<void()> onNotice;
    void notice(QWidget*, const QString& text) override
    {
        notices.push_back(text);
        if (onNotice)
            onNotice();
    }
    QString openFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    // Answers a credentials prompt with these when set; cancels it otherwise.
    std::optional<UserAndPassword> typedCredentials;
    std::vector<QString> credentialTitles;
    std::optional<UserAndPassword> credentials(QWidget*, const QString& title, const UserAndPassword&) override
    {
        credentialTitles.push_back(title);
        EXPECT_EQ(QThread::currentThread(), qApp->thread()) << "asked off the window's thread";
        return typedCredentials;
    }
};

class FakePicker {
public:
    bool confirm = true;
    std::string number;
    int calls = 0;
    std::optional<std::string> pickNumber()
    {
        ++calls;
        if (!confirm)
            return std::nullopt;
        return number;
    }
};

class SmsWindowTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string iniPath = dir.filePath("Operators.ini").toStdString();
    ProfileIniFile ini{iniPath};
    std::vector<std::string> operatorList;
    OperatorValueList operatorValues;
    FakePicker picker;
    ScriptedPrompts scripted;
    Prompts* previousPrompts = nullptr;
    std::optional<SettingsStore> settings;
    std::unique_ptr<SmsWindow> window;
    HttpTestServer server;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        settings.emplace(SettingsStore::inFile(dir.filePath("settings.ini")));
        previousPrompts = setPrompts(&scripted);
        window = std::make_unique<SmsWindow>(OperatorObjects{ini, operatorList, operatorValues}, *settings,
                                             [this] { return picker.pickNumber(); });
    }
    void TearDown() override
    {
        window.reset();
        setPrompts(previousPrompts);
    }

    SmsWindowControls w() { return SmsWindowControls(window.get()); }
    OperatorDialog& opSet() { return *window->findChild<OperatorDialog*>(); }
    OperatorDialogControls d() { return OperatorDialogControls(&opSet()); }

    void WriteProfile(const std::string& name, std::initializer_list<std::pair<const char*, std::string>> pairs)
    {
        for (const auto& [key, value] : pairs)
            ini.setValue(name, key, value);
    }
    // A profile that posts to the test server, the worked example's fields.
    void WriteGateway(const std::string& name, const std::string& method, const std::string& chars = "KOI8R")
    {
        WriteProfile(name,
                     {{"URL", "127.0.0.1:" + std::to_string(server.port()) + "/sms"},
                      {"NumField", "phone"},
                      {"TxtField", "msg"},
                      {"Method", method},
                      {"ActName", "send"},
                      {"Action", "Send"},
                      {"Reply", kSuccessWin},
                      {"Chars", chars},
                      {"AdName1", "lang"},
                      {"AdVal1", "ru"}});
    }
    void Reply(const std::string& body)
    {
        HttpScriptedResponse r;
        r.body = body;
        server.enqueue(r);
    }
    // As the user types into the operator box.
    void TypeOperator(const QString& name)
    {
        w().operatorBox->lineEdit()->selectAll();
        QTest::keyClick(w().operatorBox->lineEdit(), Qt::Key_Delete);
        QTest::keyClicks(w().operatorBox->lineEdit(), name);
    }
    // Clicks Send and waits until the window has shown how the send ended.
    void Send()
    {
        QSignalSpy ended(window.get(), &SmsWindow::sendFinished);
        w().sendButton->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ended.isEmpty(); }, 20000)) << "the send did not end";
    }
    void Compose(const QString& phone, const QString& message)
    {
        w().numberEdit->setText(phone);
        w().messageEdit->setPlainText(message);
    }
    // Runs act on the settings dialog once it is up, then closes it with OK or Cancel.
    void WhenDialogOpens(std::function<void()> act, bool ok = true)
    {
        QTimer::singleShot(0, &opSet(), [this, act, ok] {
            EXPECT_TRUE(opSet().isVisible());
            act();
            (ok ? d().okButton : d().cancelButton)->click();
        });
    }
    std::vector<std::string> Section(const std::string& name) { return ini.sectionLines(name); }
    std::string FileBytes()
    {
        QFile f(QString::fromStdString(iniPath));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll().toStdString();
    }
    QStringList Items()
    {
        QStringList items;
        for (int i = 0; i < w().operatorBox->count(); ++i)
            items << w().operatorBox->itemText(i);
        return items;
    }
};

} // namespace

// ---- choosing an operator ----

TEST_F(SmsWindowTest, ShowListsTheFileSectionsAndSelectsTheFirst)
{
    WriteProfile("Beta", {{"Prefix", "89"}});
    WriteProfile("Alpha", {{"Prefix", "8"}});
    window->show();
    EXPECT_EQ(Items(), (QStringList{"Beta", "Alpha"}));
    EXPECT_EQ(w().operatorBox->currentText(), "Beta");
    EXPECT_EQ(w().prefixEdit->text(), "89");
    EXPECT_FALSE(w().prefixEdit->isEnabled());
    EXPECT_TRUE(w().prefixEdit->isReadOnly());
}

TEST_F(SmsWindowTest, StoredItemsNeverOutliveTheProfileFile)
{
    WriteProfile("Gone", {{"Prefix", "1"}});
    WriteProfile("Kept", {{"Prefix", "2"}});
    window->show();
    window->close(); // the storage saves both names
    ini.removeSection("Gone");
    window->show(); // the storage puts both back, the file wins
    EXPECT_EQ(Items(), QStringList{"Kept"});
    EXPECT_EQ(w().prefixEdit->text(), "2");
}

TEST_F(SmsWindowTest, WithoutAProfileFileEverythingIsEmptyAndEditStartsBlank)
{
    d().methodBox->setCurrentText("GET");
    d().urlEdit->setText("left over");
    window->show();
    EXPECT_EQ(w().operatorBox->count(), 0);
    EXPECT_EQ(w().operatorBox->currentText(), "");
    EXPECT_EQ(w().prefixEdit->text(), "");
    QString method = "x", url = "x";
    WhenDialogOpens(
        [&] {
            method = d().methodBox->currentText();
            url = d().urlEdit->text();
        },
        false);
    w().editOperatorButton->click();
    EXPECT_EQ(method, "");
    EXPECT_EQ(url, "");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(iniPath)));
}

TEST_F(SmsWindowTest, TypingOrPickingReadsThatProfile)
{
    WriteProfile("One", {{"Prefix", "11"}});
    WriteProfile("Two", {{"Prefix", "22"}});
    window->show();
    TypeOperator("Nobody");
    EXPECT_EQ(w().prefixEdit->text(), "");
    EXPECT_EQ(operatorValues.size(), 0u);
    // A name typed in other letter case still finds its section, and no
    // completion turns a prefix of a name into that name.
    TypeOperator("tw");
    EXPECT_EQ(w().operatorBox->currentText(), "tw");
    EXPECT_EQ(w().prefixEdit->text(), "");
    TypeOperator("tWo");
    EXPECT_EQ(w().prefixEdit->text(), "22");
    // Arrow keys pick the next and the previous item, as a pick from the list does.
    QTest::keyClick(w().operatorBox, Qt::Key_Down);
    EXPECT_EQ(w().operatorBox->currentText(), "Two");
    QTest::keyClick(w().operatorBox, Qt::Key_Up);
    EXPECT_EQ(w().operatorBox->currentText(), "One");
    EXPECT_EQ(w().prefixEdit->text(), "11");
}

// ---- adding, editing, deleting ----

TEST_F(SmsWindowTest, AddWritesOnlyTheKeysWithAValueInKeyOrder)
{
    window->show();
    WhenDialogOpens([&] {
        d().operatorEdit->setText("Tele");
        d().extraValue2Edit->setText("v2"); // typed first, written last
        d().urlEdit->setText("gw.example/send");
        d().numberFieldEdit->setText("n");
        d().refererEdit->setText("gw.example/");
        d().replyEdit->setText("OK");
    });
    w().addOperatorButton->click();
    EXPECT_EQ(Section("Tele"),
              (std::vector<std::string>{"URL=gw.example/send", "NumField=n", "Method=POST", "Reply=OK", "Chars=KOI8R",
                                        "Referer=gw.example/", "AdVal2=v2"}));
    EXPECT_EQ(operatorList, (std::vector<std::string>{"Tele"}));
    EXPECT_EQ(Items(), QStringList{"Tele"});
    EXPECT_EQ(w().operatorBox->currentText(), ""); // the chosen operator stays chosen

    // Editing it shows the same texts back.
    TypeOperator("Tele");
    ProfileTexts shown;
    WhenDialogOpens([&] { shown = opSet().texts(); }, false);
    w().editOperatorButton->click();
    EXPECT_EQ(shown[profileKeyIndex("URL")], "gw.example/send");
    EXPECT_EQ(shown[profileKeyIndex("Referer")], "gw.example/");
    EXPECT_EQ(shown[profileKeyIndex("AdVal2")], "v2");
    EXPECT_EQ(shown[profileKeyIndex("Login")], "");
    EXPECT_EQ(d().operatorEdit->text(), "Tele");
}

TEST_F(SmsWindowTest, AddEmptiesTheEditBoxesButKeepsTheComboTexts)
{
    window->show();
    d().loginEdit->setText("old");
    d().charsetBox->setCurrentText("DOS866");
    bool emptied = false;
    QString chars;
    WhenDialogOpens(
        [&] {
            emptied = d().loginEdit->text().isEmpty();
            chars = d().charsetBox->currentText();
        },
        false);
    w().addOperatorButton->click();
    EXPECT_TRUE(emptied);
    EXPECT_EQ(chars, "DOS866");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(iniPath))); // Cancel writes nothing
}

TEST_F(SmsWindowTest, AddUnderAnExistingNameMergesIntoIt)
{
    WriteProfile("Op", {{"URL", "old/url"}, {"Referer", "ref"}, {"Login", "me"}});
    window->show();
    WhenDialogOpens([&] {
        d().operatorEdit->setText("OP");
        d().urlEdit->setText("new/url");
        d().methodBox->setCurrentText("post"); // stored as typed
        d().charsetBox->setCurrentText("");
    });
    w().addOperatorButton->click();
    EXPECT_EQ(Section("Op"), (std::vector<std::string>{"URL=new/url", "Referer=ref", "Login=me", "Method=post"}));
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"Op"}));
}

TEST_F(SmsWindowTest, EditErasesFirstSoEmptiedKeysGoAndTheOperatorMovesLast)
{
    WriteProfile("First", {{"URL", "a"}, {"Referer", "r"}, {"Prefix", "7"}});
    WriteProfile("Second", {{"URL", "b"}});
    window->show();
    ASSERT_EQ(w().operatorBox->currentText(), "First");
    WhenDialogOpens([&] {
        EXPECT_EQ(d().refererEdit->text(), "r");
        d().refererEdit->clear();
    });
    w().editOperatorButton->click();
    EXPECT_EQ(Section("First"), (std::vector<std::string>{"URL=a", "Prefix=7"}));
    EXPECT_EQ(operatorList, (std::vector<std::string>{"Second", "First"}));
    EXPECT_EQ(Items(), (QStringList{"Second", "First"}));
    EXPECT_EQ(w().operatorBox->currentText(), "First");
}

TEST_F(SmsWindowTest, RenamingInTheEditLeavesTheOldSection)
{
    WriteProfile("Old", {{"URL", "a"}});
    window->show();
    WhenDialogOpens([&] { d().operatorEdit->setText("New"); });
    w().editOperatorButton->click();
    EXPECT_EQ(ini.sectionNames(), (std::vector<std::string>{"Old", "New"}));
    EXPECT_EQ(Section("Old"), Section("New"));
}

TEST_F(SmsWindowTest, DeleteAsksThenSelectsTheFirstWithoutReadingIt)
{
    WriteProfile("Alpha", {{"Prefix", "1"}});
    WriteProfile("Beta", {{"Prefix", "2"}});
    window->show();
    TypeOperator("Beta");
    ASSERT_EQ(w().prefixEdit->text(), "2");

    scripted.answers = {false};
    w().deleteOperatorButton->click();
    ASSERT_EQ(scripted.confirms.size(), 1u);
    EXPECT_EQ(scripted.confirms[0], "Do You really want to delete operator \"Beta\"?");
    EXPECT_EQ(ini.sectionNames().size(), 2u);

    scripted.answers = {true};
    w().deleteOperatorButton->click();
    EXPECT_EQ(ini.sectionNames(), std::vector<std::string>{"Alpha"});
    EXPECT_EQ(Items(), QStringList{"Alpha"});
    EXPECT_EQ(w().operatorBox->currentText(), "Alpha");
    EXPECT_EQ(w().prefixEdit->text(), "2"); // until the user chooses
    EXPECT_EQ(operatorValues.value("Prefix"), "2");
}

TEST_F(SmsWindowTest, AWriteThatFailsIsReportedAndLeavesTheFileWhole)
{
    if (std::system("command -v chattr >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "chattr is not available";
    WriteProfile("Op", {{"URL", "a"}});
    const std::string before = FileBytes();
    window->show();
    const std::string lock = "chattr +i '" + dir.path().toStdString() + "' 2>/dev/null";
    if (std::system(lock.c_str()) != 0)
        GTEST_SKIP() << "this file system cannot make the folder immutable";
    WhenDialogOpens([&] { d().urlEdit->setText("changed"); });
    w().editOperatorButton->click();
    std::system(("chattr -i '" + dir.path().toStdString() + "'").c_str());

    ASSERT_EQ(scripted.notices.size(), 1u);
    EXPECT_EQ(scripted.notices[0], QString::fromStdString("Unable to write to " + iniPath + ": access is denied."));
    EXPECT_EQ(FileBytes(), before);
    EXPECT_EQ(Section("Op"), std::vector<std::string>{"URL=a"});
}

TEST_F(SmsWindowTest, AProfileFileThatCannotBeReadIsReportedAndNothingIsWritten)
{
    WriteProfile("Op", {{"URL", "a"}});
    const std::string before = FileBytes();
    // Write-only, in a folder anyone may write to; root reads anything, so act as nobody.
    ASSERT_EQ(chmod(dir.path().toLocal8Bit().constData(), 0777), 0);
    ASSERT_EQ(chmod(iniPath.c_str(), 0200), 0);
    int dialogs = 0;
    QTimer fillIn;
    QObject::connect(&fillIn, &QTimer::timeout, [&] {
        if (!opSet().isVisible())
            return;
        ++dialogs;
        d().operatorEdit->setText("New");
        d().urlEdit->setText("b");
        d().okButton->click();
    });
    fillIn.start(0);
    scripted.answers = {true};
    {
        AsNobody nobody;
        window->show();
        w().addOperatorButton->click();
        w().editOperatorButton->click();
        w().deleteOperatorButton->click();
    }
    fillIn.stop();
    const QString message = QString::fromStdString("Unable to read " + iniPath + ": access is denied.");
    EXPECT_EQ(scripted.notices, std::vector<QString>(4, message));
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(scripted.confirms.empty());
    EXPECT_EQ(FileBytes(), before);
}

// ---- the phonebook picker ----

TEST_F(SmsWindowTest, PhonebookNumberIsTakenOnlyWhenConfirmed)
{
    window->show();
    w().numberEdit->setText("555");
    picker.confirm = false;
    picker.number = "999";
    w().phonebookButton->click();
    EXPECT_EQ(w().numberEdit->text(), "555");
    picker.confirm = true;
    picker.number = "+7 095 \xc0  "; // Windows-1251, trailing blanks kept
    w().phonebookButton->click();
    EXPECT_EQ(w().numberEdit->text(), QString::fromUtf8("+7 095 А  "));
    EXPECT_EQ(picker.calls, 2);
}

// ---- sending ----

TEST_F(SmsWindowTest, PostSendsTheWorkedExampleAndReportsSuccess)
{
    WriteGateway("Gw", "POST");
    Reply("<html>\n" + kSuccessKoi + "\n</html>");
    window->show();
    Compose("123", "Hi");
    Send();

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    const HttpRecordedRequest& r = requests[0];
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.target, "/sms");
    EXPECT_EQ(r.body, "phone=123&msg=Hi&lang=ru&send=Send\r\n\n");
    EXPECT_EQ(r.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(r.header("Accept-Language"), "ru,en-us;q=0.5");
    EXPECT_FALSE(r.hasHeader("Referer"));
    EXPECT_EQ(r.header("User-Agent"), "Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)");
    EXPECT_EQ(r.header("Accept"),
              "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-excel, "
              "application/msword, application/vnd.ms-powerpoint, */*");
    EXPECT_FALSE(r.hasHeader("Authorization"));
    EXPECT_EQ(scripted.notices, std::vector<QString>{kSentNotice});
    EXPECT_TRUE(w().sendButton->isEnabled());
    EXPECT_EQ(w().messageEdit->toPlainText(), "Hi"); // kept without debug
}

TEST_F(SmsWindowTest, PrefixLeadsTheFormDataAndRefererIsSent)
{
    WriteGateway("Gw", "POST");
    WriteProfile("Gw", {{"Prefix", "89"}, {"Referer", "gw.example/form"}});
    window->show();
    Compose("123", "Hi");
    Send();
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].body, "89phone=123&msg=Hi&lang=ru&send=Send\r\n\n");
    EXPECT_EQ(requests[0].header("Referer"), "http://gw.example/form");
    EXPECT_TRUE(scripted.notices.empty()); // the empty reply holds no success text
}

TEST_F(SmsWindowTest, PostThenGetCarriesNoBodyOnTheGet)
{
    WriteGateway("Post", "POST");
    WriteGateway("Get", "post"); // anything but exactly POST is a GET
    window->show();
    Compose("123", "Hi");
    Send();
    TypeOperator("Get");
    Send();
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].method, "GET");
    EXPECT_EQ(requests[1].body, "");
    EXPECT_NE(requests[1].header("Content-Length"), std::to_string(requests[0].body.size()));
    EXPECT_EQ(requests[1].header("Content-Type"), "application/x-www-form-urlencoded");
    // The form data rides in the address; how its raw breaks are carried is the client's business.
    EXPECT_EQ(requests[1].target.rfind("/sms?phone=123&msg=Hi&lang=ru&send=Send", 0), 0u) << requests[1].target;
}

TEST_F(SmsWindowTest, ASecondShorterMessageCarriesOnlyItsOwnData)
{
    WriteGateway("Gw", "POST");
    WriteProfile("Gw", {{"Referer", "r.example"}});
    WriteGateway("Plain", "POST");
    window->show();
    Compose("123", "A much longer first message");
    Send();
    TypeOperator("Plain");
    Compose("4", "B");
    Send();
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].body, "phone=4&msg=B&lang=ru&send=Send\r\n\n");
    EXPECT_TRUE(requests[0].hasHeader("Referer"));
    EXPECT_FALSE(requests[1].hasHeader("Referer"));
}

TEST_F(SmsWindowTest, UnescapedAmpersandsAndEqualsReachTheGateway)
{
    WriteGateway("Gw", "POST");
    window->show();
    Compose("1", "a&to=2\nb = c");
    Send();
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].body, "phone=1&msg=a&to=2\r\nb = c&lang=ru&send=Send\r\n\n");
}

TEST_F(SmsWindowTest, CyrillicMessageGoesOutInWindows1251)
{
    WriteGateway("Gw", "POST");
    window->show();
    Compose("1", QString::fromUtf8("Привет"));
    Send();
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].body, "phone=1&msg=\xcf\xf0\xe8\xe2\xe5\xf2&lang=ru&send=Send\r\n\n");
    EXPECT_TRUE(scripted.confirms.empty());
}

TEST_F(SmsWindowTest, CharactersWithoutAWindows1251ByteAreShownBeforeSending)
{
    WriteGateway("Gw", "POST");
    window->show();
    Compose("1", QString::fromUtf8("ok ✓ ✓ 中"));
    scripted.answers = {false};
    w().sendButton->click();
    ASSERT_EQ(scripted.confirms.size(), 1u);
    EXPECT_TRUE(scripted.confirms[0].contains(QString::fromUtf8("✓中"))) << scripted.confirms[0].toStdString();
    EXPECT_EQ(server.requestCount(), 0u);
    EXPECT_TRUE(w().sendButton->isEnabled());

    scripted.answers = {true};
    Send();
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].body, "phone=1&msg=ok ? ? ?&lang=ru&send=Send\r\n\n");
}

TEST_F(SmsWindowTest, ReplyCodePageDecidesHowTheSuccessTextIsSought)
{
    // The same Windows-1251 page: found unconverted for Win1251, missed when
    // the name's letter case makes it KOI8-R.
    WriteGateway("Exact", "POST", "Win1251");
    WriteGateway("Lower", "POST", "win1251");
    Reply("done: " + kSuccessWin);
    Reply("done: " + kSuccessWin);
    window->show();
    w().debugBox->setChecked(true);
    TypeOperator("Exact");
    Send();
    EXPECT_EQ(scripted.notices, std::vector<QString>{kSentNotice});
    EXPECT_EQ(w().messageEdit->toPlainText(), QString::fromUtf8("done: Сообщение отправлено\n"));

    TypeOperator("Lower");
    Send();
    EXPECT_EQ(scripted.notices.size(), 1u);
    // Read as KOI8-R, the Windows-1251 letters turn into other letters.
    EXPECT_NE(w().messageEdit->toPlainText(), QString::fromUtf8("done: Сообщение отправлено\n"));
    EXPECT_TRUE(w().messageEdit->toPlainText().startsWith("done: "));
}

TEST_F(SmsWindowTest, DebugShowsThePageUpToItsZeroByteWithEveryLine)
{
    WriteGateway("Gw", "GET");
    Reply(std::string("first\nsecond\r") + kSuccessKoi + std::string("\0after\n", 7));
    window->show();
    w().debugBox->setChecked(true);
    Compose("1", "text");
    Send();
    EXPECT_EQ(scripted.notices, std::vector<QString>{kSentNotice});
    EXPECT_EQ(w().messageEdit->toPlainText(), QString::fromUtf8("first\nsecond\nСообщение отправлено\n"));
}

TEST_F(SmsWindowTest, EmptyReplyStringNeverMeansSuccess)
{
    WriteGateway("Gw", "POST");
    ini.setValue("Gw", "Reply", "");
    ASSERT_EQ(ini.value("Gw", "Reply", "?"), "");
    Reply("anything at all");
    window->show();
    Compose("1", "text");
    Send();
    EXPECT_TRUE(scripted.notices.empty());
}

TEST_F(SmsWindowTest, AFailedRequestInDebugEmptiesTheMemoAndShowsTheError)
{
    WriteProfile(
        "Down",
        {{"URL", "127.0.0.1:" + std::to_string(HttpClosedPort()) + "/sms"}, {"Method", "POST"}, {"Reply", "OK"}});
    window->show();
    w().debugBox->setChecked(true);
    Compose("1", "my message");
    Send();
    ASSERT_EQ(scripted.notices.size(), 1u);
    EXPECT_NE(scripted.notices[0], kSentNotice);
    EXPECT_FALSE(scripted.notices[0].isEmpty());
    EXPECT_EQ(w().messageEdit->toPlainText(), "");
    EXPECT_TRUE(w().sendButton->isEnabled());
}

TEST_F(SmsWindowTest, ErrorIsReportedAfterTheButtonIsBack)
{
    WriteProfile("Down", {{"URL", "127.0.0.1:" + std::to_string(HttpClosedPort()) + "/"}});
    window->show();
    Compose("1", "keep me");
    scripted.onNotice = [&] { EXPECT_TRUE(w().sendButton->isEnabled()); };
    Send();
    ASSERT_EQ(scripted.notices.size(), 1u);
    EXPECT_TRUE(scripted.notices[0].contains("onnect")) << scripted.notices[0].toStdString(); // libcurl's message
    EXPECT_EQ(w().messageEdit->toPlainText(), "keep me"); // untouched outside debug
}

TEST_F(SmsWindowTest, AGetMessageArrivesWholeWhateverItsCharacters)
{
    WriteGateway("Gw", "GET");
    window->show();
    Compose("1", "Meet at gate #5 at 10, 100% {sure}");
    Send();
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target,
              "/sms?phone=1&msg=Meet%20at%20gate%20%235%20at%2010,%20100%25%20%7Bsure%7D&lang=ru&send=Send%0D%0A%0A");
}

TEST_F(SmsWindowTest, WhileASlowGatewayWaitsTheWindowLivesAndCancelEscapeOrCloseEndTheSend)
{
    WriteGateway("Gw", "POST");
    server.setSilent(true);
    window->show();
    Compose("1", "text");
    const std::vector<std::function<void()>> cancelWays = {
        [&] { w().cancelButton->click(); },
        [&] { QTest::keyClick(window.get(), Qt::Key_Escape); },
        [&] { window->close(); },
    };
    for (std::size_t way = 0; way < cancelWays.size(); ++way) {
        QSignalSpy ended(window.get(), &SmsWindow::sendFinished);
        w().sendButton->click();
        // The click is over while the gateway still holds the request.
        EXPECT_TRUE(ended.isEmpty());
        EXPECT_FALSE(w().sendButton->isEnabled());
        EXPECT_FALSE(w().operatorBox->isEnabled());
        EXPECT_NO_THROW(window->sendMessage()); // a second send does not start
        // A timer of the window's thread sees the request reach the gateway, then cancels.
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (server.requestCount() == way + 1) {
                watch.stop();
                cancelWays[way]();
            }
        });
        watch.start(10);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !ended.isEmpty(); }, 10000)) << "way " << way;
        EXPECT_EQ(server.requestCount(), way + 1) << "way " << way;
    }
    EXPECT_EQ(scripted.notices, std::vector<QString>(3, "The request was cancelled."));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(w().sendButton->isEnabled());
    EXPECT_TRUE(w().operatorBox->isEnabled());
}

TEST_F(SmsWindowTest, DestroyingTheWindowMidSendEndsTheRequestAtOnce)
{
    WriteGateway("Gw", "POST");
    server.setSilent(true);
    server.setHoldLimit(30000);
    window->show();
    Compose("1", "text");
    w().sendButton->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requestCount() == 1; }, 10000));
    QElapsedTimer destroying;
    destroying.start();
    window.reset();
    EXPECT_LT(destroying.elapsed(), 5000); // cancelled, not waited out
    QTest::qWait(50); // an outcome still on its way would be shown now
    EXPECT_TRUE(scripted.notices.empty());
}

TEST_F(SmsWindowTest, AGatewayThatTricklesIsGivenUpAtTheTimeLimit)
{
    WriteGateway("Gw", "POST");
    HttpScriptedResponse trickling;
    trickling.body = std::string(200, '.') + kSuccessKoi;
    trickling.trickleMs = 20;
    server.enqueue(trickling);
    window->requestTemplate().timeLimit = std::chrono::milliseconds{500};
    window->show();
    Compose("1", "text");
    Send();
    EXPECT_EQ(scripted.notices, std::vector<QString>{"The gateway did not complete its reply within 0.5 seconds."});
    EXPECT_TRUE(w().sendButton->isEnabled());
}

// ---- what goes on the wire ----

namespace {

const std::string kAgent = "User-Agent: Mozilla/4.0 (compatible; MSIE 5.0; Windows 98; DigExt)";
const std::string kForm = "Content-Type: application/x-www-form-urlencoded";
const std::string kLanguage = "Accept-Language: ru,en-us;q=0.5";
const std::string kAccept = "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, application/vnd.ms-excel, "
                            "application/msword, application/vnd.ms-powerpoint, */*";
const std::string kNoCache = "Cache-Control: no-cache\r\nPragma: no-cache";

// A request as the gateway receives it: the lines joined with CR LF, the
// length of a body, a blank line, then the body.
std::string Wire(std::initializer_list<std::string> lines, const std::string& body = {})
{
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    if (!body.empty())
        out += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    return out + "\r\n" + body;
}

} // namespace

TEST_F(SmsWindowTest, EveryProfileMethodPutsTheSameBytesOnTheWire)
{
    const std::string at = "127.0.0.1:" + std::to_string(server.port());
    WriteGateway("Post", "POST");
    WriteGateway("Full", "POST", "DOS866");
    WriteProfile("Full", {{"Prefix", "89"}, {"Referer", "gw.example/form"}, {"AdName2", "enc"}, {"AdVal2", ""}});
    WriteGateway("Get", "GET", "Win1251");
    WriteProfile("Get", {{"Referer", "gw.example/"}, {"AdName2", "x"}, {"AdVal2", "1 2"}});
    WriteProfile("Bare", {{"URL", at + "/bare?fixed=1"}, {"NumField", "n"}, {"TxtField", "t"}, {"Method", "post"}});
    HttpScriptedResponse withCookie;
    withCookie.headers = {{"Set-Cookie", "sid=42; Path=/"}};
    server.enqueue(withCookie);
    window->show();
    for (const char* name : {"Post", "Full", "Get", "Bare"}) {
        TypeOperator(name);
        Compose("+7 916", QString::fromUtf8("Привет #1\n100% да"));
        Send();
    }

    const std::string message = "\xcf\xf0\xe8\xe2\xe5\xf2 #1\r\n100% \xe4\xe0";
    const std::string query = "%CF%F0%E8%E2%E5%F2%20%231%0D%0A100%25%20%E4%E0";
    const std::string host = "Host: " + at;
    const std::vector<std::string> expected = {
        Wire({"POST /sms HTTP/1.1", host, kAgent, kForm, kLanguage, kAccept, kNoCache},
             "phone=+7 916&msg=" + message + "&lang=ru&send=Send\r\n\n"),
        Wire({"POST /sms HTTP/1.1", host, kAgent, "Cookie: sid=42", kForm, "Referer: http://gw.example/form",
              kLanguage, kAccept, kNoCache},
             "89phone=+7 916&msg=" + message + "&lang=ru&enc=&send=Send\r\n\n"),
        Wire({"GET /sms?phone=+7%20916&msg=" + query + "&lang=ru&x=1%202&send=Send%0D%0A%0A HTTP/1.1", host, kAgent,
              "Cookie: sid=42", kForm, "Referer: http://gw.example/", kLanguage, kAccept, kNoCache}),
        Wire({"GET /bare?fixed=1?n=+7%20916&t=" + query + "%0D%0A%0A HTTP/1.1", host, kAgent, "Cookie: sid=42", kForm,
              kLanguage, kAccept, kNoCache}),
    };
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(requests[i].raw, expected[i]) << "request " << i;
}

TEST_F(SmsWindowTest, CredentialsGoOnTheWireOnceTheGatewayAsksThenRightAway)
{
    server.requireBasicAuth("ivan", "pw");
    const std::string at = "127.0.0.1:" + std::to_string(server.port());
    WriteProfile("InAddress",
                 {{"URL", "ivan:pw@" + at + "/sms"}, {"NumField", "n"}, {"TxtField", "t"}, {"Method", "POST"}});
    WriteProfile("Asked", {{"URL", at + "/sms"}, {"NumField", "n"}, {"TxtField", "t"}, {"Method", "GET"}});
    scripted.typedCredentials = UserAndPassword{"ivan", "pw"};
    window->show();
    Compose("1", "a");
    for (const char* name : {"Asked", "Asked", "InAddress", "InAddress"}) {
        TypeOperator(name);
        Send();
    }

    const std::string host = "Host: " + at;
    const std::string basic = "Authorization: Basic aXZhbjpwdw==";
    const std::string get = "GET /sms?n=1&t=a%0D%0A%0A HTTP/1.1";
    // The first send learns the method from the gateway's demand twice: before the
    // user typed the credentials and once more with them.
    const std::vector<std::string> expected = {
        Wire({get, host, kAgent, kForm, kLanguage, kAccept, kNoCache}),
        Wire({get, host, kAgent, kForm, kLanguage, kAccept, kNoCache}),
        Wire({get, host, basic, kAgent, kForm, kLanguage, kAccept, kNoCache}),
        Wire({get, host, basic, kAgent, kForm, kLanguage, kAccept, kNoCache}),
        Wire({"POST /sms HTTP/1.1", host, basic, kAgent, kForm, kLanguage, kAccept, kNoCache}, "n=1&t=a\r\n\n"),
        Wire({"POST /sms HTTP/1.1", host, basic, kAgent, kForm, kLanguage, kAccept, kNoCache}, "n=1&t=a\r\n\n"),
    };
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(requests[i].raw, expected[i]) << "request " << i;
    EXPECT_EQ(scripted.credentialTitles, std::vector<QString>{"Authentication: 127.0.0.1"});
}

// ---- the demo gateway ----

TEST_F(SmsWindowTest, DemoGatewayAcceptsBothSampleProfiles)
{
    const QString script = QStringLiteral(M2BUS_SOURCE_DIR "/scripts/demo-gateway.py");
    if (QStandardPaths::findExecutable("python3").isEmpty() || !QFile::exists(script))
        GTEST_SKIP() << "python3 or the demo gateway is missing";
    {
        // A profile of the user's own and a demo profile left from a run on another port.
        QFile f(QString::fromStdString(iniPath));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Mine]\r\nURL=example.org/send\r\n[Demo GET]\r\nURL=127.0.0.1:1/sms\r\nNumField=phone\r\n"
                "TxtField=msg\r\nMethod=GET\r\nReply=\xd1\xee\xee\xe1\xf9\xe5\xed\xe8\xe5\r\nChars=KOI8R\r\n");
    }
    const int port = HttpClosedPort();
    QProcess gateway;
    gateway.setReadChannel(QProcess::StandardError);
    gateway.start("python3", {script, QString::number(port), "--operators", QString::fromStdString(iniPath)});
    ASSERT_TRUE(gateway.waitForStarted(10000));
    // It says where it listens once the socket is bound.
    QByteArray said;
    while (!said.contains("demo gateway on") && gateway.waitForReadyRead(10000))
        said += gateway.readAllStandardError();
    ASSERT_TRUE(said.contains("demo gateway on")) << said.toStdString();

    // A second gateway on the taken port stops with one line and leaves the file alone.
    const std::string before = FileBytes();
    QProcess second;
    second.start("python3", {script, QString::number(port), "--operators", QString::fromStdString(iniPath)});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_EQ(second.readAllStandardError().trimmed().count('\n'), 0);
    EXPECT_EQ(FileBytes(), before);

    window->show();
    EXPECT_EQ(Items(), (QStringList{"Mine", "Demo GET", "Demo POST"}));
    EXPECT_EQ(Section("Mine"), std::vector<std::string>{"URL=example.org/send"});
    TypeOperator("Demo POST");
    Compose("123", QString::fromUtf8("Привет"));
    Send();
    TypeOperator("Demo GET");
    Send();
    Compose("", "no number");
    Send(); // the gateway refuses a form without a number
    EXPECT_EQ(scripted.notices, (std::vector<QString>{kSentNotice, kSentNotice}));
    gateway.kill();
    gateway.waitForFinished(5000);
}
