#include "sms/ProfileIniFile.h"
#include "sms/OperatorValues.h"

#include <gmock/gmock.h>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(OperatorValues, ReadingASectionReplacesTheListWithTheNonEmptyValuesInFileOrder)
{
    auto ini = ProfileIniFile::FromBytes("[Mts]\r\nURL=sms.example/send\r\nPrefix=\r\nMethod=POST\r\n"
                                         "Reply=\"\"\r\nChars=KOI8R\r\n[Other]\r\nURL=x\r\n");
    OperatorValueList values;
    values.SetValue("Stale", "old");
    values.ReadSection(ini, "MTS");
    EXPECT_THAT(values.Lines(), ElementsAre("URL=sms.example/send", "Method=POST", "Chars=KOI8R"));
    values.ReadSection(ini, "Absent");
    EXPECT_THAT(values.Lines(), IsEmpty());
}

TEST(OperatorValues, LookupIgnoresCaseTakesTheFirstAndGivesEmptyForMissing)
{
    auto ini = ProfileIniFile::FromBytes("[S]\r\nurl=a=b\r\n");
    OperatorValueList values;
    values.ReadSection(ini, "S");
    values.SetValue("x", "1");
    EXPECT_EQ(values.Values("URL"), "a=b");
    EXPECT_EQ(values.Values("X"), "1");
    EXPECT_EQ(values.Values("Referer"), "");
    EXPECT_EQ(values.Names(0), "url");
    EXPECT_EQ(values.ValueFromIndex(0), "a=b");
}

TEST(OperatorValues, SettingReplacesInPlaceAppendsOrRemovesOnEmpty)
{
    OperatorValueList values;
    values.SetValue("URL", "a");
    values.SetValue("Prefix", "");
    values.SetValue("Method", "GET");
    values.SetValue("Reply", "ok");
    EXPECT_THAT(values.Lines(), ElementsAre("URL=a", "Method=GET", "Reply=ok"));
    values.SetValue("method", "POST");
    EXPECT_THAT(values.Lines(), ElementsAre("URL=a", "method=POST", "Reply=ok"));
    values.SetValue("URL", "");
    EXPECT_THAT(values.Lines(), ElementsAre("method=POST", "Reply=ok"));
    values.SetValue("Absent", "");
    EXPECT_EQ(values.Count(), 2u);
}
