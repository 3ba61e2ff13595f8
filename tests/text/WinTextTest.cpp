#include "text/WinText.h"

#include <gtest/gtest.h>

TEST(WinText, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    bool lossy = true;
    EXPECT_EQ(toWin1251(fromWin1251(all), &lossy), all);
    EXPECT_FALSE(lossy);
}

TEST(WinText, CyrillicLettersMapToTheirCodePagePositions)
{
    EXPECT_EQ(fromWin1251("\xC0\xFF\xA8\xB8"), QString::fromUtf8("АяЁё"));
    EXPECT_EQ(toWin1251(QString::fromUtf8("Эюя")), "\xDD\xFE\xFF");
}

TEST(WinText, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    bool lossy = false;
    EXPECT_EQ(toWin1251(QString::fromUtf8("a€β"), &lossy), "a\x88?");
    EXPECT_TRUE(lossy);
}
