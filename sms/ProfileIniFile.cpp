#include "sms/ProfileIniFile.h"

#include <QString>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>

namespace {

// Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on chains of
// std::string operator+.
std::string joined(std::initializer_list<std::string_view> parts)
{
    std::size_t size = 0;
    for (std::string_view part : parts)
        size += part.size();
    std::string out;
    out.reserve(size);
    for (std::string_view part : parts)
        out.append(part);
    return out;
}

// Lower-case partner of every Windows-1251 byte; letters outside A..Z and
// the Cyrillic block are the Serbian, Macedonian, Ukrainian and Belarusian ones.
constexpr std::array<unsigned char, 256> makeFoldTable()
{
    std::array<unsigned char, 256> t{};
    for (int i = 0; i < 256; ++i)
        t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
    for (int c = 'A'; c <= 'Z'; ++c)
        t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDF; ++c)
        t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 32);
    constexpr std::array<std::array<unsigned char, 2>, 15> pairs = {{
        {0x80, 0x90},
        {0x81, 0x83},
        {0x8A, 0x9A},
        {0x8C, 0x9C},
        {0x8D, 0x9D},
        {0x8E, 0x9E},
        {0x8F, 0x9F},
        {0xA1, 0xA2},
        {0xA3, 0xBC},
        {0xA5, 0xB4},
        {0xA8, 0xB8},
        {0xAA, 0xBA},
        {0xAF, 0xBF},
        {0xB2, 0xB3},
        {0xBD, 0xBE},
    }};
    for (const auto& p : pairs)
        t[p[0]] = p[1];
    return t;
}

constexpr std::array<unsigned char, 256> kFold = makeFoldTable();

std::string_view trim(std::string_view s)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view unquote(std::string_view v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

bool hasLineBreak(std::string_view s)
{
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// Names handed back through a fixed buffer of NUL-separated items with a
// closing NUL: the list ends at the last item that fits whole.
std::vector<std::string> fitListBuffer(std::vector<std::string> names)
{
    std::size_t used = 1;
    std::size_t fit = 0;
    for (const auto& n : names) {
        if (used + n.size() + 1 > ProfileIniFile::kListBufferBytes)
            break;
        used += n.size() + 1;
        ++fit;
    }
    names.resize(fit);
    return names;
}

} // namespace

unsigned char foldWin1251(unsigned char c)
{
    return kFold[c];
}

bool sameNameWin1251(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (kFold[static_cast<unsigned char>(a[i])] != kFold[static_cast<unsigned char>(b[i])])
            return false;
    }
    return true;
}

ProfileIniFile::ProfileIniFile(std::string path)
    : path_(std::move(path))
{ }

ProfileIniFile ProfileIniFile::fromBytes(std::string_view bytes)
{
    ProfileIniFile ini;
    ini.inMemory_ = true;
    ini.parse(bytes);
    return ini;
}

ProfileIniFile::Line ProfileIniFile::makeLine(std::string_view raw)
{
    Line line;
    line.raw = raw;
    const std::string_view t = trim(raw);
    if (t.empty()) {
        line.kind = LineKind::Blank;
    } else if (t.front() == ';') {
        line.kind = LineKind::Comment;
    } else if (t.front() == '[') {
        line.kind = LineKind::Header;
        const std::string_view inner = t.substr(1);
        line.name = trim(inner.substr(0, inner.find(']')));
    } else if (const auto eq = t.find('='); eq != std::string_view::npos && !trim(t.substr(0, eq)).empty()) {
        // A line with nothing before "=" names no key that a caller could ask for.
        line.kind = LineKind::Key;
        line.name = trim(t.substr(0, eq));
        line.value = trim(t.substr(eq + 1));
    } else {
        line.kind = LineKind::Other;
    }
    return line;
}

ProfileIniFile::Line ProfileIniFile::newLine(std::string text)
{
    edited_.push_back(std::make_unique<const std::string>(std::move(text)));
    return makeLine(*edited_.back());
}

void ProfileIniFile::parse(std::string_view bytes)
{
    lines_.clear();
    edited_.clear();
    text_ = std::make_unique<const std::string>(bytes);
    const std::string_view text = *text_;
    std::size_t start = 0;
    for (std::size_t end = 0; end < text.size(); ++end) {
        if (text[end] != '\r' && text[end] != '\n')
            continue;
        lines_.push_back(makeLine(text.substr(start, end - start)));
        if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    lastLineEnded_ = start == text.size();
    if (!lastLineEnded_)
        lines_.push_back(makeLine(text.substr(start)));
    reindex();
}

void ProfileIniFile::reindex()
{
    sections_.clear();
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind != LineKind::Header)
            continue;
        if (!sections_.empty())
            sections_.back().end = i;
        sections_.push_back({lines_[i].name, i, lines_.size()});
    }
}

void ProfileIniFile::load()
{
    if (inMemory_)
        return;
    const QString path = QString::fromLocal8Bit(path_.data(), static_cast<qsizetype>(path_.size()));
    // No file is no error: it holds no profiles until the first is written.
    const auto takeMissing = [this] {
        if (!stampTrusted_ || stamp_.exists)
            parse({});
        stamp_ = {};
        stampTrusted_ = true;
    };
    const FileProbe probe = probeFile(path);
    if (probe.outcome.fault == FileFault::Missing)
        return takeMissing();
    if (!probe.outcome.ok()) {
        stampTrusted_ = false;
        raiseFileError("Unable to read ", probe.outcome.reason);
    }
    if (stampTrusted_ && probe.stamp == stamp_)
        return;

    // A change within the time resolution of the file's clock (two seconds
    // on FAT, a clock tick elsewhere) may leave size and times as they were;
    // a file that was older than that when read cannot change unseen.
    constexpr std::int64_t kClockResolutionNs = 3'000'000'000;
    const std::int64_t readAtNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    const FileContents contents = readRegularFile(path);
    if (contents.outcome.fault == FileFault::Missing)
        return takeMissing();
    if (!contents.outcome.ok()) {
        stampTrusted_ = false;
        raiseFileError("Unable to read ", contents.outcome.reason);
    }
    parse(std::string_view(contents.bytes.constData(), static_cast<std::size_t>(contents.bytes.size())));
    stamp_ = contents.stamp;
    stampTrusted_ = std::max(stamp_.modifiedNs, stamp_.changedNs) < readAtNs - kClockResolutionNs;
}

void ProfileIniFile::refresh()
{
    load();
}

void ProfileIniFile::raiseFileError(const char* lead, const QString& reason)
{
    std::error_code ec;
    const auto full = std::filesystem::absolute(std::filesystem::path(path_), ec);
    throw IniFileError(lead + (ec ? path_ : full.string()) + ": " + reason.toStdString() + ".");
}

std::string ProfileIniFile::bytes() const
{
    std::size_t size = 0;
    for (const Line& line : lines_)
        size += line.raw.size() + 2;
    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        out += lines_[i].raw;
        if (i + 1 < lines_.size() || lastLineEnded_)
            out += "\r\n";
    }
    return out;
}

void ProfileIniFile::store()
{
    lastLineEnded_ = true;
    reindex();
    if (inMemory_)
        return;
    const std::string bytes = this->bytes();
    const QString path = QString::fromLocal8Bit(path_.data(), static_cast<qsizetype>(path_.size()));
    // Whatever happens, the lines in memory may no longer be the file's.
    stampTrusted_ = false;
    const FileOutcome outcome = replaceFile(path, QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!outcome.ok())
        raiseFileError("Unable to write to ", outcome.reason);
}

const ProfileIniFile::Section* ProfileIniFile::findSection(std::string_view name) const
{
    const std::string_view wanted = trim(name);
    for (const auto& s : sections_) {
        if (sameNameWin1251(s.name, wanted))
            return &s;
    }
    return nullptr;
}

std::vector<std::string> ProfileIniFile::sectionNames()
{
    load();
    std::vector<std::string> names;
    for (const auto& s : sections_) {
        // An empty name would end the NUL-separated list early.
        if (s.name.empty())
            break;
        names.emplace_back(s.name);
    }
    return fitListBuffer(std::move(names));
}

std::vector<std::string> ProfileIniFile::keysOf(std::string_view section) const
{
    std::vector<std::string> keys;
    if (const Section* s = findSection(section)) {
        for (std::size_t i = s->header + 1; i < s->end; ++i) {
            if (lines_[i].kind == LineKind::Key)
                keys.emplace_back(lines_[i].name);
        }
    }
    return fitListBuffer(std::move(keys));
}

std::string ProfileIniFile::valueOf(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    const std::string_view wanted = trim(key);
    std::string_view found = defaultValue;
    if (const Section* s = findSection(section)) {
        for (std::size_t i = s->header + 1; i < s->end; ++i) {
            if (lines_[i].kind == LineKind::Key && sameNameWin1251(lines_[i].name, wanted)) {
                found = unquote(lines_[i].value);
                break;
            }
        }
    }
    return std::string(found.substr(0, kValueBufferChars));
}

std::vector<std::string> ProfileIniFile::keyNames(std::string_view section)
{
    load();
    return keysOf(section);
}

std::vector<std::string> ProfileIniFile::sectionLines(std::string_view section)
{
    load();
    std::vector<std::string> out;
    for (const auto& key : keysOf(section))
        out.push_back(key + "=" + valueOf(section, key, ""));
    return out;
}

bool ProfileIniFile::hasSection(std::string_view section)
{
    load();
    return findSection(section) != nullptr;
}

std::string ProfileIniFile::value(std::string_view section, std::string_view key, std::string_view defaultValue)
{
    load();
    return valueOf(section, key, defaultValue);
}

void ProfileIniFile::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        throw IniFileError("Line breaks are not allowed in the profile file: [" + std::string(section) + "] "
                           + std::string(key));
    // Such names would be written but could never be read back.
    if (trim(section).empty() || section.find(']') != std::string_view::npos)
        throw IniFileError("Invalid section name in the profile file: \"" + std::string(section) + "\"");
    if (trim(key).empty() || key.find('=') != std::string_view::npos || trim(key).front() == ';'
        || trim(key).front() == '[')
        throw IniFileError("Invalid key name in the profile file: \"" + std::string(key) + "\"");
    load();
    const Section* s = findSection(section);
    if (!s) {
        lines_.push_back(newLine(joined({"[", section, "]"})));
        lines_.push_back(newLine(joined({key, "=", value})));
        store();
        return;
    }
    const std::string_view wanted = trim(key);
    std::size_t insertAt = s->header + 1;
    for (std::size_t i = s->header + 1; i < s->end; ++i) {
        Line& line = lines_[i];
        if (line.kind != LineKind::Key)
            continue;
        if (sameNameWin1251(line.name, wanted)) {
            line = newLine(joined({line.name, "=", value}));
            store();
            return;
        }
        insertAt = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                  newLine(joined({key, "=", value})));
    store();
}

void ProfileIniFile::removeSection(std::string_view section)
{
    load();
    const Section* s = findSection(section);
    if (!s)
        return;
    const std::size_t from = s->header;
    const std::size_t to = s->end;
    std::vector<Line> kept;
    kept.reserve(lines_.size());
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const bool inSection = i >= from && i < to;
        if (inSection && (i == from || lines_[i].kind == LineKind::Key))
            continue;
        kept.push_back(lines_[i]);
    }
    lines_ = std::move(kept);
    store();
}
