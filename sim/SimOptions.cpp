#include "sim/SimOptions.h"

#include <stdexcept>

namespace handset {
namespace {

double parseMs(const std::string& option, const std::string& value)
{
    std::size_t used = 0;
    double ms = -1;
    try {
        ms = std::stod(value, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != value.size() || !(ms >= 0) || ms > 60000)
        throw std::invalid_argument(option + " needs milliseconds from 0 to 60000, not \"" + value + "\"");
    return ms;
}

unsigned parseCount(const std::string& option, const std::string& value)
{
    std::size_t used = 0;
    unsigned long n = 0;
    try {
        if (!value.empty() && value[0] != '-')
            n = std::stoul(value, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != value.size() || n > 10000)
        throw std::invalid_argument(option + " needs a count from 0 to 10000, not \"" + value + "\"");
    return static_cast<unsigned>(n);
}

// "\n" typed on a command line means a line break in the version text.
std::string unescape(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

SimOptions defaultSimOptions()
{
    SimOptions options;
    options.line.pace = false;
    return options;
}

SimOptions parseSimOptions(const std::vector<std::string>& args)
{
    SimOptions options = defaultSimOptions();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw std::invalid_argument(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--help" || arg == "-h")
            options.help = true;
        else if (arg == "--version")
            options.version = true;
        else if (arg == "--state")
            options.statePath = value();
        else if (arg == "--no-echo")
            options.line.echo = false;
        else if (arg == "--pace")
            options.line.pace = true;
        else if (arg == "--bus")
            options.line.bus = options.line.pace = true;
        else if (arg == "--turnaround")
            options.line.turnaroundMs = parseMs(arg, value());
        else if (arg == "--reset-quiet")
            options.line.resetQuietMs = parseMs(arg, value());
        else if (arg == "--silent")
            options.line.faults.silent = true;
        else if (arg == "--bad-checksum-every")
            options.line.faults.badChecksumEvery = parseCount(arg, value());
        else if (arg == "--drop-acks")
            options.line.faults.dropAcks = true;
        else if (arg == "--drop-replies")
            options.line.faults.dropReplies = true;
        else if (arg == "--answer-duplicates")
            options.line.faults.answerDuplicates = true;
        else if (arg == "--duplicates") {
            const std::string rule = value();
            if (rule != "answer" && rule != "ack")
                throw std::invalid_argument("--duplicates needs \"answer\" or \"ack\", not \"" + rule + "\"");
            options.line.faults.answerDuplicates = rule == "answer";
        } else if (arg == "--noise-every")
            options.line.faults.noiseEvery = parseCount(arg, value());
        else if (arg == "--handset-byte-ms")
            options.line.handsetByteMs = parseMs(arg, value());
        else if (arg == "--latency")
            options.line.readEveryMs = parseMs(arg, value());
        else if (arg == "--noise")
            options.line.faults.noiseBytes = parseCount(arg, value());
        else if (arg == "--version-text")
            options.versionText = unescape(value());
        else if (arg == "--serial") {
            options.serialNumber = value();
            if (options.serialNumber->size() > 200)
                throw std::invalid_argument("--serial is too long");
        } else if (arg == "--own-number") {
            options.ownNumber = value();
            if (options.ownNumber->size() > 30
                || options.ownNumber->find_first_not_of("0123456789*#pw+") != std::string::npos)
                throw std::invalid_argument("--own-number needs up to 30 of 0-9 * # p w +, not \"" + *options.ownNumber
                                            + "\"");
        } else if (arg == "--verbose")
            options.verbose = true;
        else
            throw std::invalid_argument("Unknown option \"" + arg + "\" (try --help)");
    }
    if (options.versionText && options.versionText->size() > 240)
        throw std::invalid_argument("--version-text is longer than 240 bytes");
    return options;
}

std::string simUsage()
{
    return R"(Usage: m2bus-sim [options]

Simulates a handset on the service bus behind a pseudo-terminal. The first
line printed is the device path to open as the serial port (9600 8O1).
Stops on SIGTERM or SIGINT, saving its state first.

  --state FILE            keep phonebook, logo, texts, net monitor setting
                          and own and dialled numbers in FILE (readable
                          text, rewritten after every change); a missing
                          FILE starts from the sample state
  --version-text TEXT     version text; \n separates its lines
  --serial TEXT           serial number (10 digits on a real handset)
  --own-number DIGITS     the handset's own number (location 115; up to 30
                          of 0-9 * # p w +); "" keeps none
  --no-echo               do not echo the PC's bytes back
  --pace                  send at the line rate, 1.146 ms a byte
  --bus                   one half-duplex wire at the line rate (implies
                          --pace): bytes of the PC and of the handset that
                          overlap in time are garbled for both, a frame hit
                          so goes unanswered; each collision is logged to
                          stderr and counted in the state file, and at exit
                          a line tells how late the deliveries were
  --turnaround MS         quiet time before each answer (default 5)
  --reset-quiet MS        after a software reset, hear nothing for MS
                          (a real handset restarts; default 0)
  --silent                answer nothing at all, not even the echo
  --bad-checksum-every N  spoil the checksum of every Nth frame sent
  --drop-acks             never send acknowledgements
  --drop-replies          never send the data replies
  --answer-duplicates     carry out and answer a repeated request again
  --duplicates RULE       what a request repeated with the same sequence
                          byte gets: "answer" (carried out and answered
                          again) or "ack" (acknowledged only; the default)
  --noise N               N bytes of line noise before each frame sent
  --noise-every K         line noise changes one byte of every Kth reply
                          (the handset does not know)
  --handset-byte-ms MS    a slow handset: MS from one of its bytes to the
                          next (default: the line rate)
  --latency MS            take the PC's bytes in only every MS, as a USB
                          adapter hands them over in batches
  --verbose               log frames to stderr
  --help                  this text
  --version               the program's version
)";
}

} // namespace handset
