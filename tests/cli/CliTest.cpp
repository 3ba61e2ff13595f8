// m2bus-cli run as a user runs it, against m2bus-sim on a pseudo-terminal.
#include <gtest/gtest.h>

#include "sim/HandsetStateFile.h"
#include "logo/LogoPicture.h"
#include "phonebook/PhonebookFormats.h"
#include "serial/PortChoice.h"
#include "support/HttpTestServer.h"
#include "support/ScratchMount.h"
#include "support/SimProcess.h"
#include "support/TrapFifo.h"
#include "app/PhonebookSimLog.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

namespace {

struct CliRun {
    int code = -1;
    QString out;
    QString err;
};

class CliTest : public ::testing::Test {
protected:
    CliRun Run(const QStringList& arguments, const QString& program = QStringLiteral(M2BUS_CLI_PATH))
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir.filePath("config"));
        process.setProcessEnvironment(env);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(120000)) << arguments.join(' ').toStdString();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }
    QSettings Settings() { return {dir.filePath("config/m2bus-tool.ini"), QSettings::IniFormat}; }
    QString Path(const QString& name) { return dir.filePath(name); }
    static handset::HandsetState State(SimProcess& sim)
    {
        sim.Stop();
        const std::optional<handset::HandsetState> state = handset::loadStateFile(sim.StatePath());
        EXPECT_TRUE(state);
        return state.value_or(handset::HandsetState{});
    }

    QTemporaryDir dir;
};

TEST_F(CliTest, ServiceCommandsUseTheDeviceTheWindowsStored) {
    SimProcess sim({"--version-text", "V 9.99\\nNMT-650", "--serial", "1234567890", "--own-number", "5550100"});
    {
        QSettings settings = Settings();
        settings.setValue(portsettings::kPortText, "USB cable \u2014 " + QString::fromStdString(sim.DevicePath()));
        settings.setValue(portsettings::kDevice, QString::fromStdString(sim.DevicePath()));
    }
    const CliRun info = Run({"info"});
    EXPECT_EQ(info.code, 0) << info.err.toStdString();
    EXPECT_EQ(info.out,
              "Version: V 9.99\n         NMT-650\nSerial number: 1234567890\nNet monitor: off\nOwn number: 5550100\n");

    const CliRun on = Run({"netmon", "on"});
    EXPECT_EQ(on.code, 0) << on.err.toStdString();
    EXPECT_EQ(on.out, "Net monitor: on\n");
    EXPECT_EQ(Run({"reset"}).code, 0);

    // COMn takes its device from the same settings as the port box.
    Settings().setValue(portsettings::comDeviceKey(3), QString::fromStdString(sim.DevicePath()));
    EXPECT_EQ(Run({"--port", "COM3", "info"}).code, 0);
    EXPECT_TRUE(State(sim).netMonitor);
}

// A number the handset keeps none of, or does not answer for, is "not
// stored" and no failure.
TEST_F(CliTest, DialledAndOwnNumbersSayWhatIsNotStored) {
    handset::HandsetState state = handset::defaultHandsetState();
    state.otherLocations.erase(handset::kFirstDialledLocation + 2);
    handset::saveStateFile(Path("state.txt").toStdString(), state);
    SimProcess sim({"--own-number", ""}, Path("state.txt").toStdString());
    const QStringList port{"--port", QString::fromStdString(sim.DevicePath())};
    const CliRun dialled = Run(port + QStringList{"dialled"});
    EXPECT_EQ(dialled.code, 0) << dialled.err.toStdString();
    EXPECT_EQ(dialled.out, "1: 0951234\n2: 112\n3: not stored\n4: +4951234567\n5: 0957778899\n");
    const CliRun info = Run(port + QStringList{"info"});
    EXPECT_EQ(info.code, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.endsWith("\nNet monitor: off\nOwn number: not stored\n")) << info.out.toStdString();

    SimProcess silent({"--silent"});
    const CliRun none = Run({"--port", QString::fromStdString(silent.DevicePath()), "dialled"});
    EXPECT_EQ(none.code, 0) << none.err.toStdString();
    EXPECT_EQ(none.out, "1: not stored\n2: not stored\n3: not stored\n4: not stored\n5: not stored\n");
}

TEST_F(CliTest, PhonebookGoesToFilesAndBackToTheHandset) {
    SimProcess sim;
    const QStringList port{"--port", QString::fromStdString(sim.DevicePath())};
    const CliRun read = Run(port + QStringList{"phonebook", "read", Path("before.csv")});
    ASSERT_EQ(read.code, 0) << read.err.toStdString();
    EXPECT_TRUE(read.out.startsWith("Read 100 records (4 in use) into ")) << read.out.toStdString();
    EXPECT_TRUE(read.err.contains("Reading phonebook 100/100"));  // plain lines: stderr is no terminal
    PhonebookRows rows = readPhonebook(Path("before.csv")).rows;
    EXPECT_EQ(rows[1].name, QStringLiteral("Иван"));

    rows[49] = {QStringLiteral("Мария"), QStringLiteral("+7495123")};
    writePhonebook(Path("edited.vcf"), rows);
    const CliRun write = Run(port + QStringList{"--yes", "phonebook", "write", Path("edited.vcf")});
    ASSERT_EQ(write.code, 0) << write.err.toStdString();
    ASSERT_EQ(Run(port + QStringList{"phonebook", "read", Path("after.npb")}).code, 0);
    EXPECT_EQ(readPhonebook(Path("after.npb")).rows, rows);

    const handset::Record expected = handset::makeRecord("+7495123", "\xCC\xE0\xF0\xE8\xFF");
    const handset::Record stored = State(sim).phonebook[49];
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + handset::kRecordGroup, stored.begin()));
}

TEST_F(CliTest, LogoGoesToThePictureAndBack) {
    SimProcess sim;
    const QStringList port{"--port", QString::fromStdString(sim.DevicePath())};
    QImage drawn(84, 48, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    for (int x = 10; x < 30; ++x)
        drawn.setPixel(x, 5 + x % 7, qRgb(0, 0, 0));
    drawn.setPixel(83, 47, qRgb(1, 1, 1));  // not exact black: stays clear "As drawn"
    ASSERT_TRUE(drawn.save(Path("drawn.png")));

    const CliRun put = Run(port + QStringList{"logo", "put", Path("drawn.png")});
    ASSERT_EQ(put.code, 0) << put.err.toStdString();
    const CliRun get = Run(port + QStringList{"logo", "get", Path("back.bmp")});
    ASSERT_EQ(get.code, 0) << get.err.toStdString();
    const LogoDots dots = logoDotsFromPicture(logoLoadPicture(Path("back.bmp")));
    EXPECT_EQ(dots, logoDotsFromPicture(drawn));

    const LogoBlocks blocks = logoBlocksFromDots(dots);
    const handset::HandsetState state = State(sim);
    for (int b = 0; b < kLogoBlockCount; ++b)
        EXPECT_TRUE(std::equal(blocks[b].begin(), blocks[b].end(), state.logo[b].begin())) << "block " << b;
}

TEST_F(CliTest, PortAndHandsetFailuresEndWithTheirLineAndCode) {
    const QString missing = Path("ttyUSB7");
    EXPECT_EQ(Run({"--port", missing, "info"}).err,
              "m2bus-cli: The serial port " + missing + " does not exist (is the cable plugged in?)\n");
    EXPECT_EQ(Run({"--port", missing, "info"}).code, 3);
    Settings().setValue(portsettings::comDeviceKey(4), missing);
    const CliRun com = Run({"--port", "com4", "reset"});
    EXPECT_EQ(com.code, 3);
    EXPECT_TRUE(com.err.startsWith("m2bus-cli: Invalid port number Com4: The serial port " + missing))
        << com.err.toStdString();

    SimProcess silent({"--silent"});
    const CliRun noAnswer = Run({"--port", QString::fromStdString(silent.DevicePath()), "logo", "get", Path("x.png")});
    EXPECT_EQ(noAnswer.code, 1);
    // The line after the message says where it stopped and why.
    EXPECT_TRUE(noAnswer.err.endsWith("m2bus-cli: No answer from phone!  Please, check cable connection!\n"
                                      "Logo block 0 read: no answer\n"))
        << noAnswer.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("x.png")));
}

TEST_F(CliTest, BadFilesAndUnconfirmedWritesLeaveTheHandsetAlone) {
    SimProcess sim;
    const QStringList port{"--port", QString::fromStdString(sim.DevicePath())};
    QFile csv(Path("one.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write("location,name,number\n1,Anna,123\n");
    csv.close();
    const QByteArray stateBefore = [&] { QFile f(QString::fromStdString(sim.StatePath())); f.open(QIODevice::ReadOnly); return f.readAll(); }();

    const CliRun refused = Run(port + QStringList{"phonebook", "write", Path("one.csv")});
    EXPECT_EQ(refused.code, 7);
    EXPECT_TRUE(refused.err.contains("give --yes to go on")) << refused.err.toStdString();
    EXPECT_EQ(Run(port + QStringList{"phonebook", "write", Path("none.csv")}).code, 4);
    // Files that yield no record would empty the handset.
    for (const auto& [name, bytes] : {std::pair<QString, QByteArray>{"empty.vcf", ""},
                                      {"header.csv", "location,name,number\r\n"},
                                      {"nested.vcf", "BEGIN:VCARD\nBEGIN:VCARD\nEND:VCARD\nEND:VCARD\n"}}) {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const CliRun empty = Run(port + QStringList{"--yes", "phonebook", "write", Path(name)});
        EXPECT_EQ(empty.code, 4) << name.toStdString();
        EXPECT_TRUE(empty.err.contains("there is no record in it")) << empty.err.toStdString();
    }
    EXPECT_EQ(Run(port + QStringList{"phonebook", "read", Path("book.txt")}).code, 4);
    EXPECT_EQ(Run(port + QStringList{"logo", "put", Path("one.csv")}).code, 4);
    const CliRun noLog = Run(port + QStringList{"--log", Path("no/such/folder/frames.log"), "netmon", "on"});
    EXPECT_EQ(noLog.code, 4);
    EXPECT_TRUE(noLog.err.startsWith("m2bus-cli: Cannot write the frame log \"" + Path("no/such/folder/frames.log") + "\": "))
        << noLog.err.toStdString();
    EXPECT_EQ(Run(port + QStringList{"netmon", "maybe"}).code, 2);
    EXPECT_EQ(Run(port + QStringList{"info", "--mode", "fit"}).code, 2);
    EXPECT_EQ(Run(port + QStringList{"phonebook", "erase"}).code, 2);
    const CliRun noVerb = Run(port + QStringList{"phonebook"});
    EXPECT_EQ(noVerb.code, 2);
    EXPECT_EQ(noVerb.err, "m2bus-cli: phonebook needs a verb: m2bus-cli phonebook read|write FILE (try m2bus-cli --help)\n");
    for (const QStringList& arguments : {QStringList{"--port", "--yes", "info"}, QStringList{"info", "--port"}, QStringList{"--port=", "info"}}) {
        const CliRun noDevice = Run(arguments);
        EXPECT_EQ(noDevice.code, 2) << arguments.join(' ').toStdString();
        EXPECT_TRUE(noDevice.err.startsWith("m2bus-cli: --port needs a device")) << noDevice.err.toStdString();
    }

    sim.Stop();
    QFile after(QString::fromStdString(sim.StatePath()));
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), stateBefore);
}

// The handset is silent: a check made only after the transfer would end in "no answer".
TEST_F(CliTest, PhonebookReadFindsABadPlaceForItsFileBeforeTheTransfer) {
    SimProcess silent({"--silent"});
    const QStringList port{"--port", QString::fromStdString(silent.DevicePath())};
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.vcf"));
    ScratchMount disk;
    if (disk.Available())
        disk.MakeReadOnly();
    const struct {
        QString path;
        QString reason;
    } cases[] = {
        {Path("folder.vcf"), "it is a folder"},
        {Path("none/book.csv"), "the folder does not exist"},
        {disk.FilePath("book.npb"), "the file system is read-only"},
    };
    for (const auto& c : cases) {
        if (c.path.startsWith(disk.Path()) && !disk.Available())
            continue;
        const CliRun read = Run(port + QStringList{"phonebook", "read", c.path});
        EXPECT_EQ(read.code, 4) << read.err.toStdString();
        EXPECT_EQ(read.err, QStringLiteral("m2bus-cli: Cannot save \"%1\": %2.\n").arg(c.path, c.reason));
    }
}

// 0 stays "the handset holds the file as it is"; 8 says something was left out
// or changed, and the lines before it say what.
TEST_F(CliTest, PhonebookWriteTellsScriptsWhenRecordsWereLeftOutOrChanged) {
    SimProcess sim;
    const QStringList port{"--yes", "--port", QString::fromStdString(sim.DevicePath())};
    QFile vcf(Path("two.vcf"));
    ASSERT_TRUE(vcf.open(QIODevice::WriteOnly));
    vcf.write("BEGIN:VCARD\r\nFN:Пётр\r\nTEL;WORK:+7 495 1\r\nTEL;CELL:+7 916 2\r\nEND:VCARD\r\n");
    vcf.close();
    const CliRun write = Run(port + QStringList{"phonebook", "write", Path("two.vcf")});
    EXPECT_EQ(write.code, 8);
    EXPECT_TRUE(write.out.startsWith("Wrote 100 records")) << write.out.toStdString();
    EXPECT_TRUE(write.err.contains(QStringLiteral("line 1: the handset keeps one number of \"Пётр\", +79162; left out: +74951\n")))
        << write.err.toStdString();
    EXPECT_TRUE(write.err.contains(QStringLiteral("  1 \"Пётр\": letters stored as the nearest the handset has: ё → е\n")))
        << write.err.toStdString();
    EXPECT_TRUE(write.err.endsWith("m2bus-cli: The handset does not hold everything as in the file: see the lines above\n"));
    const handset::Record expected = handset::makeRecord("+79162", "\xCF\xE5\xF2\xF0");
    const handset::Record stored = State(sim).phonebook[0];
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + handset::kRecordGroup, stored.begin()));

    // Without a terminal nothing is written; the list comes first, short and whole.
    QFile csv(Path("odd.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write(QByteArray("name,number\nAn\0na,1\n", 20) + "B" + QByteArray(15 * 1024 * 1024, 'x') + ",2\n");
    csv.close();
    const CliRun odd = Run({"phonebook", "write", Path("odd.csv")});
    EXPECT_EQ(odd.code, 7);
    EXPECT_TRUE(odd.err.contains(QStringLiteral("  1 \"An␀na\": characters the handset cannot store: U+0000\n")))
        << odd.err.left(2000).toStdString();
    EXPECT_LT(odd.err.size(), 1000);
}

TEST_F(CliTest, FrameLogHasOneStampedLinePerFrame) {
    SimProcess sim;
    const CliRun run = Run({"--port", QString::fromStdString(sim.DevicePath()), "--log", Path("frames.log"), "reset"});
    ASSERT_EQ(run.code, 0) << run.err.toStdString();
    QFile log(Path("frames.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts);
    // Request, its echo, the handset's acknowledgement and reply, and our
    // acknowledgement (the port closes before its echo is read).
    ASSERT_EQ(lines.size(), 5) << lines.join('\n').toStdString();
    static const QRegularExpression shape(
        R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} (TX|RX)( [0-9A-F]{2})+( \((echo|ack)\))?$)");
    for (const QString& line : lines)
        EXPECT_TRUE(shape.match(line).hasMatch()) << line.toStdString();
    EXPECT_TRUE(lines[0].mid(24).startsWith("TX 00 E9 03 E5 43 00 00")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith("(echo)"));
    EXPECT_EQ(lines.filter(QRegularExpression("RX E9 00 7F .. .. \\(ack\\)$")).size(), 1);
}

TEST_F(CliTest, SmsGoesThroughTheProfileBesideTheProgram) {
    HttpTestServer gateway;
    gateway.enqueue({200, "OK", {}, "<html>Message accepted</html>"});
    gateway.enqueue({200, "OK", {}, "<html>Try again later</html>"});
    ASSERT_TRUE(QDir(dir.path()).mkpath("bin"));
    const QString program = Path("bin/m2bus-cli");
    ASSERT_TRUE(QFile::copy(QStringLiteral(M2BUS_CLI_PATH), program));
    QFile ini(Path("bin/Operators.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(("[Local]\r\nURL=127.0.0.1:" + std::to_string(gateway.port()) + "/send\r\nNumField=to\r\nTxtField=msg\r\nReply=accepted\r\n").c_str());
    ini.close();
    const QStringList message{"sms", "send", "--operator", "Local", "--to", "5551234", "--text", "Hello"};

    const CliRun sent = Run(message, program);
    EXPECT_EQ(sent.code, 0) << sent.err.toStdString();
    EXPECT_EQ(sent.out, "Your message was sent succesfully!\n");
    ASSERT_EQ(gateway.requestCount(), 1u);
    EXPECT_NE(gateway.requests()[0].target.find("to=5551234&msg=Hello"), std::string::npos) << gateway.requests()[0].target;

    EXPECT_EQ(Run(message, program).code, 6);  // no success text in the reply
    const CliRun unknown = Run({"sms", "send", "--operator", "Other", "--to", "1", "--text", "x"}, program);
    EXPECT_EQ(unknown.code, 5);
    EXPECT_TRUE(unknown.err.contains("Unknown operator \"Other\"")) << unknown.err.toStdString();
}

}  // namespace

// Named pipes where the settings or the frame log go are refused without
// waiting for a reader: the settings with one line, going on without them;
// the log as a file that cannot be written.
TEST_F(CliTest, NamedPipesForSettingsOrFrameLogAreNotWaitedFor) {
    SimProcess sim;
    ASSERT_TRUE(QDir().mkpath(Path("config")));
    TrapFifo settings(Path("config/m2bus-tool.ini"), std::chrono::seconds(3));
    TrapFifo log(Path("frames.fifo"), std::chrono::seconds(3));
    ASSERT_TRUE(settings.Made() && log.Made());
    const QString port = QString::fromStdString(sim.DevicePath());

    const CliRun info = Run({"--port", port, "info"});
    EXPECT_EQ(info.code, 0) << info.err.toStdString();
    EXPECT_EQ(info.err.toStdString(), ("m2bus-cli: not reading the settings file " + settings.Path()
                                       + ": it is a named pipe, not a file; going on with the default settings\n")
                                          .toStdString());
    const CliRun logged = Run({"--port", port, "--log", log.Path(), "reset"});
    EXPECT_EQ(logged.code, 4);
    EXPECT_TRUE(logged.err.endsWith("m2bus-cli: Cannot write the frame log \"" + log.Path()
                                    + "\": nothing reads this named pipe\n"))
        << logged.err.toStdString();
    EXPECT_FALSE(settings.Released());
    EXPECT_FALSE(log.Released());
}

TEST_F(CliTest, PhonebookWriteChangedWritesOnlyWhatTheHandsetDoesNotHold) {
    SimProcess sim({"--verbose"});
    const QStringList port{"--yes", "--port", QString::fromStdString(sim.DevicePath())};
    ASSERT_EQ(Run(port + QStringList{"phonebook", "read", Path("book.csv")}).code, 0);
    PhonebookRows rows = readPhonebook(Path("book.csv")).rows;
    rows[0].name = QStringLiteral("Anne");
    rows[1] = {};
    rows[59] = {QStringLiteral("Ёлка с длинным именем"), QStringLiteral("60")};
    writePhonebook(Path("book.csv"), rows);
    const QStringList write = port + QStringList{"phonebook", "write", "--changed", Path("book.csv")};

    const CliRun first = Run(write);
    EXPECT_EQ(first.code, 8) << "Ё and the cut name: " << first.err.toStdString();
    EXPECT_EQ(first.out.toStdString(), QStringLiteral("Wrote 3 changed records from %1, skipped 97 the handset "
                                                      "holds already; the handset was reset\n")
                                           .arg(Path("book.csv"))
                                           .toStdString());
    EXPECT_TRUE(first.err.contains("Handset 4711082015: 3 of 100 records differ, 97 are skipped\n"))
        << first.err.toStdString();

    // The handset holds record 60 as near as it can: that is no change any more.
    const CliRun second = Run(write);
    EXPECT_EQ(second.code, 8);
    EXPECT_EQ(second.out.toStdString(),
              QStringLiteral("Wrote no record: the handset holds all 100 records of %1 already\n")
                  .arg(Path("book.csv"))
                  .toStdString());

    EXPECT_EQ(Run(port + QStringList{"--changed", "phonebook", "read", Path("other.csv")}).code, 2);
    sim.Stop();
    const std::vector<std::uint8_t> heard = BytesHeardBySim(sim.ErrorOutput());
    int writes = 0;
    for (int location = 0; location < 100; ++location)
        writes += TimesHeard(heard, {0x10, 0x08, 0x03, 0x00, 0x07, 0x1F, 0x7F, 0xF0, 0x00,
                                     static_cast<std::uint8_t>(location), 0x00, 0x00, 0x00, 0x21});
    EXPECT_EQ(writes, 3);
    EXPECT_EQ(TimesHeard(heard, {0xE9, 0x03, 0xE5, 0x43, 0x00, 0x00}), 1) << "one software reset";
}

TEST_F(CliTest, HelpListsEachOptionOnce) {
    const CliRun help = Run({"--help"});
    ASSERT_EQ(help.code, 0) << help.err.toStdString();
    // An option's entry starts two spaces in; its wrapped lines start further in.
    static const QRegularExpression entry(QStringLiteral("^  (--[a-z-]+)"), QRegularExpression::MultilineOption);
    QMap<QString, int> entries;
    for (QRegularExpressionMatchIterator it = entry.globalMatch(help.out); it.hasNext();)
        ++entries[it.next().captured(1)];
    EXPECT_TRUE(entries.contains("--yes")) << help.out.toStdString();
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        EXPECT_EQ(it.value(), 1) << it.key().toStdString();
}
