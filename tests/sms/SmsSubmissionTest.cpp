#include "sms/ProfileIniFile.h"
#include "sms/OperatorProfile.h"
#include "sms/OperatorValues.h"
#include "sms/SmsSubmission.h"

#include <gtest/gtest.h>

namespace {

OperatorValueList Profile(std::initializer_list<std::pair<const char*, const char*>> pairs)
{
    OperatorValueList values;
    for (const auto& [key, value] : pairs)
        values.SetValue(key, value);
    return values;
}

} // namespace

TEST(ReplyCodePage, OnlyTheFourExactNamesSelectTheirPage)
{
    EXPECT_EQ(ReplyCodePage("KOI8R"), CodePage::KOI8R);
    EXPECT_EQ(ReplyCodePage("Win1251"), CodePage::CP1251);
    EXPECT_EQ(ReplyCodePage("DOS866"), CodePage::CP866);
    EXPECT_EQ(ReplyCodePage("ISO8859"), CodePage::ISO8859);
    for (const char* other : {"", "win1251", "WIN1251", "Win1251 ", "cp1251", "dos866", "iso8859"})
        EXPECT_EQ(ReplyCodePage(other), CodePage::KOI8R) << '"' << other << '"';
}

TEST(FormData, NothingIsEscaped)
{
    const OperatorValueList profile = Profile({{"NumField", "n"}, {"TxtField", "t"}});
    const std::string message = "a&b=c d\r\n\xcf\xf0\xe8%20+";
    EXPECT_EQ(ComposeFormData(profile, "+7 900", message), "n=+7 900&t=" + message + "\r\n\n");
}

TEST(FormData, SubmitPairNeedsBothTextsAndExtraFieldsNeedOnlyTheirName)
{
    EXPECT_EQ(SubmitPart(Profile({{"ActName", "go"}})), "");
    EXPECT_EQ(SubmitPart(Profile({{"Action", "Go"}})), "");
    EXPECT_EQ(SubmitPart(Profile({{"ActName", "go"}, {"Action", "Go"}})), "&go=Go");

    EXPECT_EQ(ExtraPart(Profile({{"AdVal1", "x"}, {"AdVal2", "y"}})), "");
    EXPECT_EQ(ExtraPart(Profile({{"AdName1", "a"}})), "&a=");
    EXPECT_EQ(ExtraPart(Profile({{"AdName2", "b"}, {"AdVal2", "2"}})), "&b=2");
    EXPECT_EQ(ExtraPart(Profile({{"AdName2", "b"}, {"AdName1", "a"}, {"AdVal1", "1"}})), "&a=1&b=");
    // Everything empty still gives the two field names' skeleton.
    EXPECT_EQ(ComposeFormData(OperatorValueList{}, "", ""), "=&=\r\n\n");
}

TEST(FormData, HeadersInOrderWithRefererOnlyWhenSet)
{
    const std::vector<std::string> plain = {"Content-Type: application/x-www-form-urlencoded",
                                            "Accept-Language: ru,en-us;q=0.5"};
    EXPECT_EQ(SubmissionHeaders(OperatorValueList{}), plain);
    EXPECT_EQ(SubmissionHeaders(Profile({{"Referer", "sms.example/form"}})),
              (std::vector<std::string>{plain[0], "Referer: http://sms.example/form", plain[1]}));
}

TEST(ReplyPage, EveryKindOfLineBreakBecomesCrLf)
{
    EXPECT_EQ(ReplyPageText(""), "");
    EXPECT_EQ(ReplyPageText("one"), "one\r\n");
    EXPECT_EQ(ReplyPageText("a\nb\rc\r\nd"), "a\r\nb\r\nc\r\nd\r\n");
    // A final break does not add an empty line; doubled breaks keep theirs.
    EXPECT_EQ(ReplyPageText("a\r\n"), "a\r\n");
    EXPECT_EQ(ReplyPageText("a\n\nb\r\r"), "a\r\n\r\nb\r\n\r\n");
    // LF CR is two breaks, not one.
    EXPECT_EQ(ReplyPageText("a\n\rb"), "a\r\n\r\nb\r\n");
}

TEST(ReplyPage, StopsAtTheFirstZeroByte)
{
    EXPECT_EQ(ReplyPageText(std::string("ok\nsent\0hidden OK\n", 19)), "ok\r\nsent\r\n");
    EXPECT_EQ(ReplyPageText(std::string("\0abc", 4)), "");
}

TEST(ReplyPage, SuccessTextIsTheReplyStringInThePagesCodePage)
{
    CodePageConverter coder;
    const std::string win = "\xd1\xee\xee\xe1\xf9\xe5\xed\xe8\xe5"; // "Сообщение" in Windows-1251
    EXPECT_EQ(SuccessText(coder, win, CodePage::KOI8R), "\xf3\xcf\xcf\xc2\xdd\xc5\xce\xc9\xc5");
    EXPECT_EQ(SuccessText(coder, win, CodePage::CP1251), win);
    EXPECT_EQ(SuccessText(coder, "", CodePage::KOI8R), "");
    EXPECT_EQ(PageForDisplay(coder, "\xf3\xcf\xcf\xc2\xdd\xc5\xce\xc9\xc5\r\n", CodePage::KOI8R), win + "\r\n");
    EXPECT_EQ(PageForDisplay(coder, "\xf3\xcf\r\n", CodePage::CP1251), "\xf3\xcf\r\n");
}

TEST(OperatorProfileStore, KeysAreWrittenInTableOrderAndOnlyWithAValue)
{
    auto ini = ProfileIniFile::FromBytes("");
    OperatorValueList values;
    OperatorValueList typed; // set out of table order
    typed.SetValue("AdVal2", "v2");
    typed.SetValue("URL", "gw/send");
    typed.SetValue("Chars", "KOI8R");
    StoreProfile(ini, values, "Op", ProfileTextsFrom(typed), false);
    EXPECT_EQ(ini.ReadSectionValues("Op"), (std::vector<std::string>{"URL=gw/send", "Chars=KOI8R", "AdVal2=v2"}));
    EXPECT_EQ(values.Lines(), ini.ReadSectionValues("Op"));
}
