#include "settings/file/IniDocument.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "settings/file/SettingsError.h"
#include "text/Cp932.h"
#include "text/RB4471HenkanFnc.h"

namespace kpx {

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr size_t NoSection = std::string::npos;

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// The name of a "[name]" line; blanks after the bracket are tolerated.
std::optional<std::string_view> HeaderName(std::string_view line)
{
    const size_t last = line.find_last_not_of(" \t");
    if (line.front() != '[' || last == 0 || line[last] != ']')
        return std::nullopt;
    return line.substr(1, last - 1);
}

void CheckWritable(std::string_view section, std::string_view key)
{
    if (HasLineBreak(section))
        throw TSettingsError(
            QStringLiteral(u"セクション名 %1 は設定ファイルに書けません").arg(Cp932ToQString(section)));
    if (key.empty() || key.front() == '[' || key.front() == ';' || key.find('=') != std::string_view::npos
        || HasLineBreak(key))
        throw TSettingsError(QStringLiteral(u"キー名 %1 は設定ファイルに書けません").arg(Cp932ToQString(key)));
}

// A value is the user's text (a pasted name, a folder, a hand-edited file):
// a line break in it must not cost the save, so each CR and LF becomes a blank.
std::string SingleLine(std::string_view value)
{
    std::string line(value);
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

} // namespace

std::optional<int> ParseIniInteger(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const std::string_view digits = text.substr(2);
        std::uint32_t bits = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), bits, 16);
        if (ec != std::errc() || end != digits.data() + digits.size())
            return std::nullopt;
        return static_cast<int>(bits);
    }
    std::string_view digits = text;
    // from_chars takes "-" but not "+"; "+-1" must still be refused.
    if (digits.size() > 1 && digits[0] == '+' && digits[1] != '-')
        digits.remove_prefix(1);
    int value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return value;
}

std::string FormatIniFloat(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, static_cast<size_t>(result.ptr - text));
}

std::optional<double> ParseIniFloat(std::string_view text)
{
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool SameIniName(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && FoldAsciiCase(a) == FoldAsciiCase(b);
}

TIniDocument TIniDocument::Parse(std::string_view text)
{
    TIniDocument doc;
    size_t currentSection = NoSection;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        doc.AddParsedLine(line, currentSection);
    }
    return doc;
}

void TIniDocument::AddParsedLine(std::string_view line, size_t &currentSection)
{
    if (line.empty())
        return;
    if (const auto name = HeaderName(line)) {
        currentSection = SectionIndex(*name);
        return;
    }
    if (currentSection == NoSection) {
        FPreamble.emplace_back(line);
        return;
    }
    const size_t equalsAt = line.front() == ';' ? std::string::npos : line.find('=');
    FSections[currentSection].Lines.push_back(TLine{std::string(line), equalsAt});
}

std::string TIniDocument::Serialize() const
{
    std::string out;
    for (const std::string &line : FPreamble)
        out.append(line).append(LineEnd);
    for (const TSection &section : FSections) {
        if (section.Lines.empty())
            continue;
        out.append("[").append(section.Name).append("]").append(LineEnd);
        for (const TLine &line : section.Lines)
            out.append(line.Text).append(LineEnd);
        out.append(LineEnd);
    }
    return out;
}

std::vector<std::string> TIniDocument::SectionNames() const
{
    std::vector<std::string> names;
    for (const TSection &section : FSections)
        names.push_back(section.Name);
    return names;
}

const TIniDocument::TSection *TIniDocument::FindSection(std::string_view name) const
{
    const auto found = FSectionIndex.find(FoldAsciiCase(name));
    return found == FSectionIndex.end() ? nullptr : &FSections[found->second];
}

size_t TIniDocument::SectionIndex(std::string_view name)
{
    const auto [found, added] = FSectionIndex.try_emplace(FoldAsciiCase(name), FSections.size());
    if (added)
        FSections.push_back(TSection{std::string(name), {}});
    return found->second;
}

const TIniDocument::TLine *TIniDocument::FindEntry(std::string_view section, std::string_view key) const
{
    const TSection *s = FindSection(section);
    if (!s)
        return nullptr;
    for (const TLine &line : s->Lines)
        if (line.IsEntry() && SameIniName(line.Key(), key))
            return &line;
    return nullptr;
}

bool TIniDocument::SectionExists(std::string_view section) const
{
    const TSection *s = FindSection(section);
    if (!s)
        return false;
    for (const TLine &line : s->Lines)
        if (line.IsEntry())
            return true;
    return false;
}

bool TIniDocument::ValueExists(std::string_view section, std::string_view key) const
{
    return FindEntry(section, key) != nullptr;
}

std::string TIniDocument::ReadString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue) const
{
    const TLine *line = FindEntry(section, key);
    return std::string(line ? line->Value() : defaultValue);
}

int TIniDocument::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const
{
    const TLine *line = FindEntry(section, key);
    return line ? ParseIniInteger(line->Value()).value_or(defaultValue) : defaultValue;
}

double TIniDocument::ReadFloat(std::string_view section, std::string_view key, double defaultValue) const
{
    const TLine *line = FindEntry(section, key);
    return line ? ParseIniFloat(line->Value()).value_or(defaultValue) : defaultValue;
}

std::vector<std::string> TIniDocument::ReadSection(std::string_view section) const
{
    std::vector<std::string> keys;
    for (const TIniEntry &entry : ReadSectionValues(section))
        keys.push_back(entry.Key);
    return keys;
}

std::vector<TIniEntry> TIniDocument::ReadSectionValues(std::string_view section) const
{
    std::vector<TIniEntry> entries;
    if (const TSection *s = FindSection(section))
        for (const TLine &line : s->Lines)
            if (line.IsEntry())
                entries.push_back(TIniEntry{std::string(line.Key()), std::string(line.Value())});
    return entries;
}

void TIniDocument::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    CheckWritable(section, key);
    const std::string stored = SingleLine(value);
    TSection &s = FSections[SectionIndex(section)];
    for (TLine &line : s.Lines) {
        if (line.IsEntry() && SameIniName(line.Key(), key)) {
            // The key keeps its place and the spelling it was first written with.
            line.Text = std::string(line.Key()).append("=").append(stored);
            return;
        }
    }
    s.Lines.push_back(TLine{std::string(key).append("=").append(stored), key.size()});
}

void TIniDocument::WriteInteger(std::string_view section, std::string_view key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void TIniDocument::WriteFloat(std::string_view section, std::string_view key, double value)
{
    WriteString(section, key, FormatIniFloat(value));
}

void TIniDocument::DeleteKey(std::string_view section, std::string_view key)
{
    const auto found = FSectionIndex.find(FoldAsciiCase(section));
    if (found == FSectionIndex.end())
        return;
    std::erase_if(FSections[found->second].Lines,
                  [key](const TLine &line) { return line.IsEntry() && SameIniName(line.Key(), key); });
}

} // namespace kpx
