#include "pages/EntryScan.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>
#include <optional>
#include <unordered_set>

#include <QString>

#include "text/Cp932.h"
#include "text/RB4471HenkanFnc.h"

namespace kpx {

namespace fs = std::filesystem;

namespace {

std::string_view TrimControlAndSpace(std::string_view text)
{
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ')
        text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ')
        text.remove_suffix(1);
    return text;
}

std::string ZeroPadded(int value, int width)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*d", width, value);
    return buffer;
}

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLowerCase(std::string_view text)
{
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(), AsciiLower);
    return result;
}

// Characters a file name may not hold (the rename pattern box refuses them too).
bool IsRefusedNameChar(char c)
{
    return std::string_view("\\/:,;*?\"<>|").find(c) != std::string_view::npos;
}

std::string ExtensionOf(std::string_view name)
{
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

std::string_view BaseNameOf(std::string_view name)
{
    return name.substr(0, name.rfind('.'));
}

// --- rename pattern ---------------------------------------------------------

constexpr const char *JapaneseDayNames[] = {"日", "月", "火", "水", "木", "金", "土"};

class PatternFormatter
{
public:
    PatternFormatter(std::string_view pattern, std::chrono::year_month_day date)
        : m_pattern(pattern)
        , m_year(static_cast<int>(date.year()))
        , m_month(static_cast<int>(static_cast<unsigned>(date.month())))
        , m_day(static_cast<int>(static_cast<unsigned>(date.day())))
        , m_weekday(static_cast<int>(std::chrono::weekday(std::chrono::sys_days(date)).c_encoding()))
    {
    }

    std::string run()
    {
        while (m_pos < m_pattern.size())
            step();
        return m_out;
    }

private:
    // Number of times the letter at the current position repeats (any case).
    size_t runLength() const
    {
        const char lower = AsciiLower(m_pattern[m_pos]);
        size_t n = 0;
        while (m_pos + n < m_pattern.size() && AsciiLower(m_pattern[m_pos + n]) == lower)
            ++n;
        return n;
    }

    bool startsWithNoCase(std::string_view word) const
    {
        if (m_pattern.size() - m_pos < word.size())
            return false;
        for (size_t i = 0; i < word.size(); ++i)
            if (AsciiLower(m_pattern[m_pos + i]) != word[i])
                return false;
        return true;
    }

    void appendShortDate() { m_out += ZeroPadded(m_year, 4) + '/' + ZeroPadded(m_month, 2) + '/' + ZeroPadded(m_day, 2); }

    void appendLongDate()
    {
        m_out += std::to_string(m_year) + Sjis("年") + std::to_string(m_month) + Sjis("月") + std::to_string(m_day) + Sjis("日");
    }

    void step()
    {
        const auto b = static_cast<unsigned char>(m_pattern[m_pos]);
        if (IsSjisLeadByte(b)) { // a trail byte may look like a pattern letter
            m_out += m_pattern.substr(m_pos, 2);
            m_pos += 2;
            return;
        }
        const char c = AsciiLower(static_cast<char>(b));
        if (c == '\'' || c == '"') {
            const size_t close = m_pattern.find(static_cast<char>(b), m_pos + 1);
            const size_t end = close == std::string_view::npos ? m_pattern.size() : close;
            m_out += m_pattern.substr(m_pos + 1, end - m_pos - 1);
            m_pos = std::min(end + 1, m_pattern.size());
            return;
        }
        if (startsWithNoCase("am/pm")) {
            m_out += "AM";
            m_pos += 5;
            return;
        }
        if (startsWithNoCase("a/p")) {
            m_out += "A";
            m_pos += 3;
            return;
        }
        const size_t n = runLength();
        switch (c) {
        case 'y':
            m_out += n <= 2 ? ZeroPadded(m_year % 100, 2) : ZeroPadded(m_year, 4);
            break;
        case 'm':
            if (m_afterHour)
                m_out += n == 1 ? "0" : "00"; // minutes of a date without time
            else if (n <= 2)
                m_out += ZeroPadded(m_month, static_cast<int>(n));
            else
                m_out += std::to_string(m_month) + Sjis("月");
            break;
        case 'd':
            if (n <= 2)
                m_out += ZeroPadded(m_day, static_cast<int>(n));
            else if (n == 3)
                m_out += Sjis(JapaneseDayNames[m_weekday]);
            else if (n == 4)
                m_out += Sjis(std::string(JapaneseDayNames[m_weekday]) + "曜日");
            else if (n == 5)
                appendShortDate();
            else
                appendLongDate();
            break;
        case 'h':
        case 'n':
        case 's':
            m_out += n == 1 ? "0" : "00";
            break;
        case 'z':
            m_out += n < 3 ? "0" : "000";
            break;
        case 't':
            m_out += n == 1 ? "0:00" : "0:00:00";
            break;
        case 'c':
            appendShortDate();
            break;
        default:
            m_out += m_pattern.substr(m_pos, n);
            break;
        }
        if (c != ' ')
            m_afterHour = c == 'h';
        m_pos += n;
    }

    std::string_view m_pattern;
    size_t m_pos = 0;
    std::string m_out;
    bool m_afterHour = false;
    int m_year;
    int m_month;
    int m_day;
    int m_weekday;
};

// --- listing order ----------------------------------------------------------

// Sort key of a Windows folder listing: UTF-16 code units, ASCII letters upper-cased.
std::u16string ListingKey(const std::string &nameText)
{
    const QString name = QString::fromUtf8(nameText.data(), static_cast<qsizetype>(nameText.size()));
    std::u16string key(reinterpret_cast<const char16_t *>(name.utf16()), static_cast<size_t>(name.size()));
    for (char16_t &unit : key)
        if (unit >= u'a' && unit <= u'z')
            unit = static_cast<char16_t>(unit - u'a' + u'A');
    return key;
}

struct ListedMovie
{
    std::u16string key;
    std::string nativeName;
    std::string nameText; // UTF-8
    std::uintmax_t size = 0;
};

TRecFileData MakeEntry(const ListedMovie &movie)
{
    TRecFileData entry;
    entry.NativeName = movie.nativeName;
    // A name code page 932 cannot spell keeps a visible mark; the mark is
    // double-byte, so such a movie gets a pattern copy name and its real
    // name stays in NativeName for the copy.
    entry.OrgName = Utf8ToCp932Lossy(movie.nameText);
    entry.FileSize = static_cast<std::int32_t>(std::min<std::uintmax_t>(movie.size, std::numeric_limits<std::int32_t>::max()));
    entry.LinkName = KanaToFullWidth(BaseNameOf(entry.OrgName));
    entry.SaveName = entry.LinkName;
    return entry;
}

std::optional<std::string> PlainCopyName(std::string_view orgName, const TScanOptions &options)
{
    if (GetCharWidthKind(KanaToFullWidth(orgName)) != 1)
        return std::nullopt;
    return options.LowerCase ? AsciiLowerCase(orgName) : std::string(orgName);
}

} // namespace

int GetCharWidthKind(std::string_view text)
{
    if (TrimControlAndSpace(text).empty())
        return -1;
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++chars)
        i += IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    if (chars == text.size())
        return 1;
    if (chars * 2 == text.size())
        return 2;
    return 0;
}

std::string FormatRenamePattern(std::string_view pattern, std::chrono::year_month_day date)
{
    return PatternFormatter(pattern, date).run();
}

void AssignCopyNames(std::vector<TRecFileData> &entries, const TScanOptions &options)
{
    std::vector<std::optional<std::string>> plainNames;
    plainNames.reserve(entries.size());
    for (const TRecFileData &entry : entries)
        plainNames.push_back(PlainCopyName(entry.OrgName, options));

    std::unordered_set<std::string> given; // folded
    const auto give = [&given](std::string_view name) { return given.insert(FoldAsciiCase(name)).second; };
    // A copy under its own name is the file itself; any other entry taking
    // that name would overwrite it when the movie folder is the source folder.
    const auto givePlain = [&](bool ownNames) {
        for (size_t i = 0; i < entries.size(); ++i) {
            std::optional<std::string> &name = plainNames[i];
            if (!name || (*name == entries[i].OrgName) != ownNames)
                continue;
            if (give(*name))
                entries[i].CopyName = *name;
            else
                name.reset();
        }
    };
    givePlain(true);
    givePlain(false);

    std::string stem = FormatRenamePattern(options.RenamePattern, options.Date);
    // A pattern holding a delimiter would send the copy into another folder.
    std::erase_if(stem, IsRefusedNameChar);
    int serial = 1;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (plainNames[i])
            continue;
        std::string name;
        do
            name = stem + ZeroPadded(serial++, 2) + ".amc";
        while (!give(name));
        entries[i].CopyName = std::move(name);
    }
}

bool IsSubFolderEntry(const fs::directory_entry &entry)
{
    std::error_code ec;
    const auto name = entry.path().filename();
    return entry.is_directory(ec) && name != "." && name != "..";
}

bool IsFileEntry(const fs::directory_entry &entry)
{
    const auto name = entry.path().filename();
    return !IsSubFolderEntry(entry) && name != "." && name != "..";
}

bool ScanSourceFolder(std::string_view folder, const TScanOptions &options, std::vector<TRecFileData> &entries,
                      const TScanProgress &progress)
{
    entries.clear();
    const fs::path path = folder.empty() ? fs::path(".") : Cp932ToNativePath(folder);
    std::error_code ec;
    fs::directory_iterator it(path, ec);
    if (ec)
        return true; // a missing or unreadable folder holds no movies

    std::vector<ListedMovie> movies;
    for (std::size_t seen = 1; it != fs::directory_iterator(); it.increment(ec), ++seen) {
        if (progress && !progress(seen))
            return false;
        const fs::directory_entry &entry = *it;
        std::string name = entry.path().filename().native();
        if (!IsFileEntry(entry) || AsciiLowerCase(ExtensionOf(name)) != ".amc")
            continue;
        std::error_code sizeError;
        const std::uintmax_t size = entry.file_size(sizeError);
        if (sizeError)
            continue; // a dangling link is no movie
        std::string text = FileNameText(name);
        movies.push_back({ListingKey(text), std::move(name), std::move(text), size});
    }
    if (ec)
        return false;

    std::sort(movies.begin(), movies.end(), [](const ListedMovie &a, const ListedMovie &b) { return a.key < b.key; });
    entries.reserve(movies.size());
    for (const ListedMovie &movie : movies)
        entries.push_back(MakeEntry(movie));
    AssignCopyNames(entries, options);
    return true;
}

std::chrono::year_month_day LocalToday()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return std::chrono::year_month_day(std::chrono::year(local.tm_year + 1900),
                                       std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)),
                                       std::chrono::day(static_cast<unsigned>(local.tm_mday)));
}

} // namespace kpx
