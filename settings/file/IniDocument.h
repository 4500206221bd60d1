// The settings file held in memory, in code page 932. May touch: nothing (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kpx {

// One key=value line of a section, CP932 bytes as the file holds them.
struct TIniEntry
{
    std::string Key;
    std::string Value;
};

// Integer text of the settings file: decimal with an optional sign, or
// hexadecimal after "0x"/"0X" (read as a 32-bit pattern, so 0xFFFFFFFF is -1).
// nullopt for anything else, including blanks and values out of range.
std::optional<int> ParseIniInteger(std::string_view text);

// Floating-point text of the settings file: the shortest decimal text that
// reads back to the same value, independent of the locale. Parsing refuses
// anything but one whole finite number.
std::string FormatIniFloat(double value);
std::optional<double> ParseIniFloat(std::string_view text);

// Section and key names match without regard to ASCII letter case. The second
// byte of a double-byte character is never folded: 0x41..0x5A there is part of
// a Japanese character, not a letter.
bool SameIniName(std::string_view a, std::string_view b);

// The settings file held in memory, in CP932 bytes. Sections and keys keep
// their order; a new key goes to the end of its section, a new section to the
// end of the file. Values are kept verbatim, everything after the first "=".
// Lines that carry no key (comments, lines without "=") are kept where they
// stand, so a write-back loses nothing a person typed into the file.
class TIniDocument
{
public:
    // Never fails: whatever is not a section header or key line is kept as is.
    static TIniDocument Parse(std::string_view text);
    // Each section as its header, its lines and one empty line, ended CR LF.
    std::string Serialize() const;

    std::vector<std::string> SectionNames() const;
    // A section exists when it holds at least one key.
    bool SectionExists(std::string_view section) const;
    bool ValueExists(std::string_view section, std::string_view key) const;

    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    double ReadFloat(std::string_view section, std::string_view key, double defaultValue) const;
    // Key names, and key=value lines, of a section in file order.
    std::vector<std::string> ReadSection(std::string_view section) const;
    std::vector<TIniEntry> ReadSectionValues(std::string_view section) const;

    // Throw TSettingsError for a name the file format cannot carry (a line
    // break; a key that is empty, holds "=" or starts like a header or
    // comment): names come from code, and a bad one must never corrupt the
    // file. A CR or LF inside a value is stored as a blank.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteFloat(std::string_view section, std::string_view key, double value);
    // Removes every line of that key.
    void DeleteKey(std::string_view section, std::string_view key);

private:
    struct TLine
    {
        std::string Text;
        size_t EqualsAt; // npos: not a key line
        bool IsEntry() const { return EqualsAt != std::string::npos; }
        std::string_view Key() const { return std::string_view(Text).substr(0, EqualsAt); }
        std::string_view Value() const { return std::string_view(Text).substr(EqualsAt + 1); }
    };
    struct TSection
    {
        std::string Name;
        std::vector<TLine> Lines;
    };

    void AddParsedLine(std::string_view line, size_t &currentSection);
    const TSection *FindSection(std::string_view name) const;
    // Index of the section, appended when new.
    size_t SectionIndex(std::string_view name);
    const TLine *FindEntry(std::string_view section, std::string_view key) const;

    std::vector<std::string> FPreamble; // lines before the first section
    std::vector<TSection> FSections;
    std::unordered_map<std::string, size_t> FSectionIndex; // folded name -> index
};

} // namespace kpx
