#include "sim/SimOptions.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace handset;

namespace {

std::string ErrorOf(const std::vector<std::string>& args)
{
    try {
        parseSimOptions(args);
    } catch (const std::invalid_argument& error) {
        return error.what();
    }
    return "no error";
}

TEST(SimOptions, EveryFaultAndLineSettingHasItsOption)
{
    const SimOptions o = parseSimOptions({"--state",
                                          "s.txt",
                                          "--no-echo",
                                          "--pace",
                                          "--turnaround",
                                          "12.5",
                                          "--silent",
                                          "--bad-checksum-every",
                                          "3",
                                          "--drop-acks",
                                          "--drop-replies",
                                          "--answer-duplicates",
                                          "--noise",
                                          "2",
                                          "--version-text",
                                          "A\\nB",
                                          "--serial",
                                          "123",
                                          "--reset-quiet",
                                          "250",
                                          "--own-number",
                                          "+7916*#pw0"});
    EXPECT_EQ(o.statePath, "s.txt");
    EXPECT_FALSE(o.line.echo);
    EXPECT_TRUE(o.line.pace);
    EXPECT_DOUBLE_EQ(o.line.turnaroundMs, 12.5);
    EXPECT_TRUE(o.line.faults.silent);
    EXPECT_EQ(o.line.faults.badChecksumEvery, 3u);
    EXPECT_TRUE(o.line.faults.dropAcks);
    EXPECT_TRUE(o.line.faults.dropReplies);
    EXPECT_TRUE(o.line.faults.answerDuplicates);
    EXPECT_EQ(o.line.faults.noiseBytes, 2u);
    EXPECT_EQ(o.versionText, "A\nB");
    EXPECT_EQ(o.serialNumber, "123");
    EXPECT_DOUBLE_EQ(o.line.resetQuietMs, 250.0);
    EXPECT_EQ(o.ownNumber, "+7916*#pw0");
    EXPECT_FALSE(o.line.bus);

    const SimOptions bus = parseSimOptions({"--bus"});
    EXPECT_TRUE(bus.line.bus);
    EXPECT_TRUE(bus.line.pace); // a wire model without time would mean nothing
}

TEST(SimOptions, DefaultsAreAnHonestQuickHandset)
{
    const SimOptions o = parseSimOptions({});
    EXPECT_TRUE(o.line.echo);
    EXPECT_FALSE(o.line.pace);
    EXPECT_EQ(o.line.faults, LineFaults{});
    EXPECT_FALSE(o.versionText.has_value());
    EXPECT_TRUE(parseSimOptions({"--help"}).help);
}

TEST(SimOptions, BadValuesAreRefusedWithAReason)
{
    EXPECT_EQ(ErrorOf({"--turnaround"}), "--turnaround needs a value");
    EXPECT_EQ(ErrorOf({"--turnaround", "-1"}), "--turnaround needs milliseconds from 0 to 60000, not \"-1\"");
    EXPECT_EQ(ErrorOf({"--turnaround", "5ms"}), "--turnaround needs milliseconds from 0 to 60000, not \"5ms\"");
    EXPECT_EQ(ErrorOf({"--noise", "-2"}), "--noise needs a count from 0 to 10000, not \"-2\"");
    EXPECT_EQ(ErrorOf({"--bad-checksum-every", "x"}), "--bad-checksum-every needs a count from 0 to 10000, not \"x\"");
    EXPECT_EQ(ErrorOf({"--fast"}), "Unknown option \"--fast\" (try --help)");
    EXPECT_EQ(ErrorOf({"--version-text", std::string(241, 'v')}), "--version-text is longer than 240 bytes");
    EXPECT_EQ(ErrorOf({"--own-number", "555-01"}), "--own-number needs up to 30 of 0-9 * # p w +, not \"555-01\"");
    EXPECT_EQ(ErrorOf({"--own-number", std::string(31, '5')}),
              "--own-number needs up to 30 of 0-9 * # p w +, not \"" + std::string(31, '5') + "\"");
}

} // namespace
