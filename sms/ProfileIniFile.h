// The operator profile file: an INI file kept line for line as the user wrote
// it, read and edited the way private-profile files behave on Windows, so a
// file carried between machines or edited by hand stays what it was.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "files/SafeFile.h"

// Raised when the profile file cannot be read or written, or a write is refused.
class IniFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Windows-1251 letter case folding (ASCII and Cyrillic), used wherever
// section and key names are matched.
unsigned char foldWin1251(unsigned char c);
bool sameNameWin1251(std::string_view a, std::string_view b);

class ProfileIniFile {
public:
    // Fixed buffers of the reading calls: a list of names, and one value.
    static constexpr std::size_t kListBufferBytes = 16384;
    static constexpr std::size_t kValueBufferChars = 2047;

    // Touches nothing on disk. The user may edit the file by hand while the
    // program runs: every call looks at the file on disk and parses it again
    // when it changed. A missing file holds no profiles; a file that exists
    // but cannot be read raises IniFileError, and is then never written.
    explicit ProfileIniFile(std::string path);
    // An in-memory profile over the given bytes; writes change only bytes().
    static ProfileIniFile fromBytes(std::string_view bytes);

    const std::string& fileName() const { return path_; }
    // Takes in a change on disk; raises IniFileError when the file cannot be read.
    void refresh();

    std::vector<std::string> sectionNames();
    // Key names of a section, in file order.
    std::vector<std::string> keyNames(std::string_view section);
    // "key=value" lines of a section, each value as value() gives it.
    std::vector<std::string> sectionLines(std::string_view section);
    bool hasSection(std::string_view section);
    std::string value(std::string_view section, std::string_view key, std::string_view defaultValue = {});

    void setValue(std::string_view section, std::string_view key, std::string_view value);
    void removeSection(std::string_view section);

    // The text as it stands (after the last read or write).
    std::string bytes() const;

private:
    enum class LineKind { Blank, Comment, Header, Key, Other };
    // Views into text_ or edited_, whose strings never move: a 10 MB file
    // parses without a copy per line.
    struct Line {
        std::string_view raw; // the bytes of the line, without its line end
        LineKind kind = LineKind::Blank;
        std::string_view name; // section or key name, trimmed
        std::string_view value; // key value, trimmed, quotes still on
    };
    struct Section {
        std::string_view name;
        std::size_t header = 0; // line index of "[name]"
        std::size_t end = 0; // one past its last line
    };

    ProfileIniFile() = default;
    void load();
    // "<lead><full path>: <reason>."
    [[noreturn]] void raiseFileError(const char* lead, const QString& reason);
    void parse(std::string_view bytes);
    void reindex();
    void store();
    const Section* findSection(std::string_view name) const;
    std::vector<std::string> keysOf(std::string_view section) const;
    std::string valueOf(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    static Line makeLine(std::string_view raw);
    // A line made by a write, kept in edited_.
    Line newLine(std::string text);

    std::string path_;
    bool inMemory_ = false;
    bool lastLineEnded_ = true;
    std::unique_ptr<const std::string> text_ = std::make_unique<const std::string>();
    std::vector<std::unique_ptr<const std::string>> edited_;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
    // The file as last parsed; trusted only when it was already older than
    // its file system's time resolution at that moment (see Load).
    FileStamp stamp_;
    bool stampTrusted_ = false;
};
