#include "sim/HandsetStateFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <stdexcept>

using namespace handset;

namespace {

std::string ErrorOf(const std::string& text)
{
    try {
        stateFromText(text);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "no error";
}

std::string LogoRows(const std::string& firstRow)
{
    std::string rows = "logo " + firstRow + "\n";
    for (int i = 1; i < 48; ++i)
        rows += "logo " + std::string(84, '.') + "\n";
    return rows;
}

TEST(HandsetStateText, EverythingSurvivesTheRoundTrip)
{
    HandsetState state = defaultHandsetState();
    state.versionText = "V \"1\"\\\n\x01\xFF";
    state.netMonitor = true;
    state.phonebook[99] = makeRecord("0123456789*#pw+0123456789*#pw+", "\xDF\xE0 \"q\" \\x00 long name!");
    state.phonebook[98][kRecordName + 3] = 0x0A;
    state.otherLocations[100] = makeRecord("112", "last");
    state.otherLocations[255][0] = 0xFF; // the PC may write any bytes out there
    state.logo[5][83] = 0x80;
    state.logo[0][0] = 0x00;
    EXPECT_EQ(stateFromText(stateToText(state)), state);
    EXPECT_EQ(stateFromText(stateToText(HandsetState{})), HandsetState{});

    // The bus's collision count is shown, and read back as nothing of the handset's.
    const std::string withCount = stateToText(state, 12);
    EXPECT_NE(withCount.find("\ncollisions 12\n"), std::string::npos);
    EXPECT_EQ(stateToText(state).find("collisions"), std::string::npos);
    EXPECT_EQ(stateFromText(withCount), state);
}

TEST(HandsetStateText, AHandWrittenFileMeansWhatItSays)
{
    const std::string text = "# notes\r\n"
                             "version \"A\\nB\"\n"
                             "serial \"0000000042\"\n"
                             "netmonitor on\n"
                             "record 7 len=3 digits=1+0___________________________ name=\"Bo b\" group=05\n"
                             "other 150 len=0 digits=______________________________ name=\"\\xFB\" group=00\n"
        + LogoRows("#" + std::string(82, '.') + "#");
    const HandsetState state = stateFromText(text);
    EXPECT_EQ(state.versionText, "A\nB");
    EXPECT_EQ(state.serialNumber, "0000000042");
    EXPECT_TRUE(state.netMonitor);
    const Record& r = state.phonebook[7];
    EXPECT_EQ(r[0], 3);
    EXPECT_EQ(r[1], 0x1F);
    EXPECT_EQ(r[2], 0xA0);
    EXPECT_EQ(std::string(r.begin() + 16, r.begin() + 21), std::string("Bo b\0", 5));
    EXPECT_EQ(r[32], 0x05);
    EXPECT_EQ(state.otherLocations.at(150)[16], 0xFB);
    EXPECT_EQ(state.logo[0][0], 0x01); // top row is bit 0 of the first band
    EXPECT_EQ(state.logo[0][83], 0x01);
    EXPECT_EQ(state.logo[0][1], 0x00);
    EXPECT_EQ(state.logo[1][0], 0x00);
}

TEST(HandsetStateText, MistakesAreReportedWithTheirLine)
{
    EXPECT_EQ(ErrorOf("serial \"1\"\nbogus 1\n"), "State file line 2: unknown entry \"bogus\"");
    EXPECT_EQ(ErrorOf("version \"open\n"), "State file line 1: quoted text is not closed");
    EXPECT_EQ(ErrorOf("netmonitor maybe\n"), "State file line 1: netmonitor must be on or off");
    EXPECT_EQ(ErrorOf("collisions -1\n"), "State file line 1: collisions needs a count");
    EXPECT_EQ(ErrorOf("record 100 len=0 digits=" + std::string(30, '_') + " name=\"\" group=00\n"),
              "State file line 1: location 100 is not a record");
    EXPECT_EQ(ErrorOf("record 1 len=0 digits=" + std::string(29, '_') + "x name=\"\" group=00\n"),
              "State file line 1: bad digit 'x'");
    EXPECT_EQ(
        ErrorOf("record 1 len=0 digits=" + std::string(30, '_') + " name=\"" + std::string(17, 'n') + "\" group=00\n"),
        "State file line 1: name longer than 16 bytes");
    EXPECT_EQ(ErrorOf("logo " + std::string(84, '.') + "\n"), "State file line 1: the logo needs 48 rows");
    EXPECT_EQ(ErrorOf("logo " + std::string(83, '.') + "\n"),
              "State file line 1: a logo row is 84 characters of '#' and '.'");
}

TEST(HandsetStateFile, SaveReplacesTheFileWholeAndLoadReadsItBack)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("state.txt").toStdString();

    EXPECT_FALSE(loadStateFile(path));

    HandsetState state = defaultHandsetState();
    saveStateFile(path, state);
    state.netMonitor = true;
    saveStateFile(path, state);
    EXPECT_EQ(loadStateFile(path), state);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    // Saving into a folder that is not there fails loudly and leaves nothing behind.
    const std::string missing = dir.filePath("no/such/state.txt").toStdString();
    EXPECT_THROW(saveStateFile(missing, state), std::runtime_error);

    std::ofstream(path) << "netmonitor sideways\n";
    EXPECT_THROW(loadStateFile(path), std::runtime_error);
}

} // namespace
