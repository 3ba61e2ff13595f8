// The operator profile file: an INI file kept line for line as the user wrote
// it, read and edited the way private-profile files behave on Windows, so a
// file carried between machines or edited by hand stays what it was.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// Raised when the profile file cannot be written, or a write is refused.
class EIniFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Windows-1251 letter case folding (ASCII and Cyrillic), used wherever
// section and key names are matched.
unsigned char FoldWin1251(unsigned char c);
bool SameNameWin1251(std::string_view a, std::string_view b);

class ProfileIniFile {
public:
    // Fixed buffers of the reading calls: a list of names, and one value.
    static constexpr std::size_t kListBufferBytes = 16384;
    static constexpr std::size_t kValueBufferChars = 2047;

    // Touches nothing on disk; every call reads the file anew, as the user
    // may edit it by hand while the program runs.
    explicit ProfileIniFile(std::string path);
    // An in-memory profile over the given bytes; writes change only Bytes().
    static ProfileIniFile FromBytes(std::string_view bytes);

    const std::string& FileName() const { return path_; }

    std::vector<std::string> ReadSections();
    // Key names of a section, in file order.
    std::vector<std::string> ReadSection(std::string_view section);
    // "key=value" lines of a section, each value as ReadString gives it.
    std::vector<std::string> ReadSectionValues(std::string_view section);
    bool SectionExists(std::string_view section);
    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue);

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void EraseSection(std::string_view section);

    // The text as it stands (after the last read or write).
    std::string Bytes() const;

private:
    enum class LineKind { Blank, Comment, Header, Key, Other };
    struct Line {
        std::string raw; // the bytes of the line, without its line end
        LineKind kind = LineKind::Blank;
        std::string name; // section or key name, trimmed
        std::string value; // key value, trimmed, quotes still on
    };
    struct Section {
        std::string name;
        std::size_t header = 0; // line index of "[name]"
        std::size_t end = 0; // one past its last line
    };

    ProfileIniFile() = default;
    void Load();
    void Parse(std::string_view bytes);
    void Reindex();
    void Store();
    const Section* FindSection(std::string_view name) const;
    static Line MakeLine(std::string raw);

    std::string path_;
    bool inMemory_ = false;
    bool lastLineEnded_ = true;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
};
