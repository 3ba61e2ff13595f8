#include "sms/ProfileIniFile.h"
#include "sms/OperatorProfile.h"
#include "sms/OperatorValueList.h"
#include "sms/SmsSubmission.h"
#include "sms/HttpError.h"

#include <gtest/gtest.h>

namespace {

OperatorValueList Profile(std::initializer_list<std::pair<const char*, const char*>> pairs)
{
    OperatorValueList values;
    for (const auto& [key, value] : pairs)
        values.setValue(key, value);
    return values;
}

} // namespace

TEST(ReplyCodePage, OnlyTheFourExactNamesSelectTheirPage)
{
    EXPECT_EQ(replyCodePage("KOI8R"), CodePage::Koi8R);
    EXPECT_EQ(replyCodePage("Win1251"), CodePage::Win1251);
    EXPECT_EQ(replyCodePage("DOS866"), CodePage::Dos866);
    EXPECT_EQ(replyCodePage("ISO8859"), CodePage::Iso8859);
    for (const char* other : {"", "win1251", "WIN1251", "Win1251 ", "cp1251", "dos866", "iso8859"})
        EXPECT_EQ(replyCodePage(other), CodePage::Koi8R) << '"' << other << '"';
}

TEST(FormData, NothingIsEscaped)
{
    const OperatorValueList profile = Profile({{"NumField", "n"}, {"TxtField", "t"}});
    const std::string message = "a&b=c d\r\n\xcf\xf0\xe8%20+";
    EXPECT_EQ(composeFormData(profile, "+7 900", message), "n=+7 900&t=" + message + "\r\n\n");
}

TEST(FormData, SubmitPairNeedsBothTextsAndExtraFieldsNeedOnlyTheirName)
{
    EXPECT_EQ(submitPart(Profile({{"ActName", "go"}})), "");
    EXPECT_EQ(submitPart(Profile({{"Action", "Go"}})), "");
    EXPECT_EQ(submitPart(Profile({{"ActName", "go"}, {"Action", "Go"}})), "&go=Go");

    EXPECT_EQ(extraPart(Profile({{"AdVal1", "x"}, {"AdVal2", "y"}})), "");
    EXPECT_EQ(extraPart(Profile({{"AdName1", "a"}})), "&a=");
    EXPECT_EQ(extraPart(Profile({{"AdName2", "b"}, {"AdVal2", "2"}})), "&b=2");
    EXPECT_EQ(extraPart(Profile({{"AdName2", "b"}, {"AdName1", "a"}, {"AdVal1", "1"}})), "&a=1&b=");
    // Everything empty still gives the two field names' skeleton.
    EXPECT_EQ(composeFormData(OperatorValueList{}, "", ""), "=&=\r\n\n");
}

TEST(FormData, HeadersInOrderWithRefererOnlyWhenSet)
{
    const std::vector<std::string> plain = {"Content-Type: application/x-www-form-urlencoded",
                                            "Accept-Language: ru,en-us;q=0.5"};
    EXPECT_EQ(submissionHeaders(OperatorValueList{}), plain);
    EXPECT_EQ(submissionHeaders(Profile({{"Referer", "sms.example/form"}})),
              (std::vector<std::string>{plain[0], "Referer: http://sms.example/form", plain[1]}));
}

TEST(ReplyPage, EveryKindOfLineBreakBecomesCrLf)
{
    EXPECT_EQ(replyPageText(""), "");
    EXPECT_EQ(replyPageText("one"), "one\r\n");
    EXPECT_EQ(replyPageText("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd\r\n");
    // A final break does not add an empty line; doubled breaks keep theirs.
    EXPECT_EQ(replyPageText("a\r\n"), "a\r\n");
    EXPECT_EQ(replyPageText("a\n\nb\r\r"), "a\r\n\r\nb\r\n\r\n");
    // LF CR is two breaks, not one.
    EXPECT_EQ(replyPageText("a\n\rb"), "a\r\n\r\nb\r\n");
}

TEST(ReplyPage, StopsAtTheFirstZeroByte)
{
    EXPECT_EQ(replyPageText(std::string("ok\nsent\0hidden OK\n", 19)), "ok\r\nsent\r\n");
    EXPECT_EQ(replyPageText(std::string("\0abc", 4)), "");
}

TEST(ReplyPage, SuccessTextIsTheReplyStringInThePagesCodePage)
{
    const std::string win = "\xd1\xee\xee\xe1\xf9\xe5\xed\xe8\xe5"; // "Сообщение" in Windows-1251
    EXPECT_EQ(successText(win, CodePage::Koi8R), "\xf3\xcf\xcf\xc2\xdd\xc5\xce\xc9\xc5");
    EXPECT_EQ(successText(win, CodePage::Win1251), win);
    EXPECT_EQ(successText("", CodePage::Koi8R), "");
    EXPECT_EQ(pageForDisplay("\xf3\xcf\xcf\xc2\xdd\xc5\xce\xc9\xc5\r\n", CodePage::Koi8R), win + "\r\n");
    EXPECT_EQ(pageForDisplay("\xf3\xcf\r\n", CodePage::Win1251), "\xf3\xcf\r\n");
}

TEST(OperatorProfileStore, KeysAreWrittenInTableOrderAndOnlyWithAValue)
{
    auto ini = ProfileIniFile::fromBytes("");
    OperatorValueList values;
    OperatorValueList typed; // set out of table order
    typed.setValue("AdVal2", "v2");
    typed.setValue("URL", "gw/send");
    typed.setValue("Chars", "KOI8R");
    storeProfile(ini, values, "Op", profileTextsFrom(typed), false);
    EXPECT_EQ(ini.sectionLines("Op"), (std::vector<std::string>{"URL=gw/send", "Chars=KOI8R", "AdVal2=v2"}));
    EXPECT_EQ(values.lines(), ini.sectionLines("Op"));
}

TEST(FormRequest, PostCarriesTheFormDataInTheBodyAnyOtherMethodInTheQuery)
{
    HttpRequest base = submissionRequest();
    base.body = "left over";
    const OperatorValueList post = Profile({{"URL", "gw.example/s"}, {"NumField", "n"}, {"TxtField", "t"}, {"Method", "POST"}});
    const HttpRequest posted = formRequest(base, post, "1", "a b#");
    EXPECT_EQ(posted.method, "POST");
    EXPECT_EQ(posted.url, "http://gw.example/s");
    EXPECT_EQ(posted.body, "n=1&t=a b#\r\n\n");
    EXPECT_EQ(posted.userAgent, base.userAgent);

    OperatorValueList get = post;
    get.setValue("Method", "Post");
    const HttpRequest got = formRequest(base, get, "1", "a b#");
    EXPECT_EQ(got.method, "GET");
    EXPECT_EQ(got.url, "http://gw.example/s?n=1&t=a%20b%23%0D%0A%0A");
    EXPECT_EQ(got.body, "");
}

TEST(FormRequest, AnAddressThatCannotBeSplitMakesNoRequestAndIsNotJudged)
{
    const OperatorValueList profile = Profile({{"URL", "[gw.example/s"}, {"Method", "POST"}, {"Reply", "OK"}});
    try {
        formRequest(submissionRequest(), profile, "1", "a");
        ADD_FAILURE() << "address taken";
    } catch (const HttpError& e) {
        EXPECT_EQ(e.failure(), HttpFailure::Address);
    }
    HttpClient http; // a request would fail on the unsplittable address long before any server
    const SubmissionOutcome outcome = submitForm(http, submissionRequest(), profile, "1", "a");
    EXPECT_FALSE(outcome.judged);
    EXPECT_TRUE(outcome.error);
}
