#include "sms/ProfileIniFile.h"
#include "sms/OperatorValueList.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(OperatorValueList, ReadingASectionReplacesTheListWithTheNonEmptyValuesInFileOrder)
{
    auto ini = ProfileIniFile::fromBytes("[Mts]\r\nURL=sms.example/send\r\nPrefix=\r\nMethod=POST\r\n"
                                         "Reply=\"\"\r\nChars=KOI8R\r\n[Other]\r\nURL=x\r\n");
    OperatorValueList values;
    values.setValue("Stale", "old");
    values.readSection(ini, "MTS");
    EXPECT_THAT(values.lines(), ElementsAre("URL=sms.example/send", "Method=POST", "Chars=KOI8R"));
    values.readSection(ini, "Absent");
    EXPECT_THAT(values.lines(), IsEmpty());
}

TEST(OperatorValueList, LookupIgnoresCaseTakesTheFirstAndGivesEmptyForMissing)
{
    auto ini = ProfileIniFile::fromBytes("[S]\r\nurl=a=b\r\n");
    OperatorValueList values;
    values.readSection(ini, "S");
    values.setValue("x", "1");
    EXPECT_EQ(values.value("URL"), "a=b");
    EXPECT_EQ(values.value("X"), "1");
    EXPECT_EQ(values.value("Referer"), "");
    EXPECT_EQ(values.nameAt(0), "url");
    EXPECT_EQ(values.valueAt(0), "a=b");
}

TEST(OperatorValueList, SettingReplacesInPlaceAppendsOrRemovesOnEmpty)
{
    OperatorValueList values;
    values.setValue("URL", "a");
    values.setValue("Prefix", "");
    values.setValue("Method", "GET");
    values.setValue("Reply", "ok");
    EXPECT_THAT(values.lines(), ElementsAre("URL=a", "Method=GET", "Reply=ok"));
    values.setValue("method", "POST");
    EXPECT_THAT(values.lines(), ElementsAre("URL=a", "method=POST", "Reply=ok"));
    values.setValue("URL", "");
    EXPECT_THAT(values.lines(), ElementsAre("method=POST", "Reply=ok"));
    values.setValue("Absent", "");
    EXPECT_EQ(values.size(), 2u);
}
