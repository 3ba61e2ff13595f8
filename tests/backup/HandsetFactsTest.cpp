#include <gtest/gtest.h>

#include "backup/BackupError.h"
#include "backup/HandsetFacts.h"
#include "link/ServiceCommands.h"

namespace {

TEST(HandsetFacts, FileGivesBackEveryTextAsItWas)
{
    const HandsetFacts facts{QStringLiteral("V 9.99 \\ 12-03-97\nNMT-650: Ёлка"),
                             QStringLiteral(" 47\\11 "),
                             true,
                             {"+4957654321", {"112", std::nullopt, std::nullopt, "*#06#p1", std::nullopt}}};
    const QByteArray file = formatHandsetFacts(facts, QDateTime(QDate(2026, 12, 8), QTime(14, 30, 5)));
    EXPECT_TRUE(file.contains("\nmade: 2026-12-08 14:30:05\n")) << file.toStdString();
    EXPECT_TRUE(file.contains("\nown number: +4957654321\ndialled 1: 112\ndialled 2: not stored\n"))
        << file.toStdString();
    EXPECT_EQ(parseHandsetFacts(file), facts);

    // Edited by hand on another system: CRLF, comments, keys in another order,
    // keys unknown; no numbers, as before they were noted.
    const QByteArray edited =
        "# mine\r\nnote: a: b\r\nnet monitor: off\r\nversion: V 1\\nNMT\r\nserial number: 123\r\n";
    EXPECT_EQ(parseHandsetFacts(edited), (HandsetFacts{QStringLiteral("V 1\nNMT"), QStringLiteral("123"), false}));
}

TEST(HandsetFacts, FileWithoutAFactIsRefused)
{
    const std::pair<QByteArray, const char*> broken[] = {
        {"version: V 1\nnet monitor: on\n", "handset.txt has no serial number"},
        {"serial number: 1\nnet monitor: on\n", "handset.txt has no version"},
        {"serial number: 1\nversion: V 1\nnet monitor: yes\n",
         "handset.txt does not say whether the net monitor is on or off"},
        {"", "handset.txt has no serial number"},
    };
    for (const auto& [text, message] : broken) {
        try {
            parseHandsetFacts(text);
            ADD_FAILURE() << "taken: " << text.toStdString();
        } catch (const BackupError& error) {
            EXPECT_STREQ(error.what(), message);
        }
    }
}

// The reply pads its texts with zero bytes, which come as dots.
TEST(HandsetFacts, ReadingsLoseThePaddingOfTheReply)
{
    HandsetReadings readings;
    readings.versionText = " V 9.99\n NMT-650....\n.....";
    readings.serialNumber = "4711082015 ";
    readings.netMonitorOn = true;
    EXPECT_EQ(handsetFactsFromReadings(readings),
              (HandsetFacts{QStringLiteral("V 9.99\nNMT-650"), QStringLiteral("4711082015"), true}));
    readings.netMonitorOn.reset();
    EXPECT_EQ(handsetFactsFromReadings(readings), std::nullopt);
}

} // namespace
