#include "pages/EntryScan.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <numeric>
#include <sys/stat.h>
#include <utility>
#include <ctime>
#include <limits>
#include <optional>
#include <unordered_set>

#include "pages/AtomicFile.h"
#include "pages/LinkText.h"
#include "text/Cp932.h"
#include "text/RB4471HenkanFnc.h"

namespace kpx {

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

// A name's text as the UTF-16 code units a Windows folder listing sorts it by,
// ASCII letters upper-cased, one at a time: no key is held per name.
class TListingUnits
{
public:
    explicit TListingUnits(std::string_view text) : FText(text) {}

    // -1 once the text is done.
    int Next()
    {
        if (FLowSurrogate != 0)
            return std::exchange(FLowSurrogate, 0);
        if (FText.empty())
            return -1;
        if (const auto byte = static_cast<unsigned char>(FText.front()); byte < 0x80) { // most names
            FText.remove_prefix(1);
            return byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte;
        }
        const char32_t code = TakeCodePoint(FText);
        if (code >= 0x10000) {
            FLowSurrogate = static_cast<int>(0xDC00 + ((code - 0x10000) & 0x3FF));
            return static_cast<int>(0xD800 + ((code - 0x10000) >> 10));
        }
        return static_cast<int>(code);
    }

private:
    std::string_view FText;
    int FLowSurrogate = 0;
};

// Negative, zero or positive as `a` lists before, with or after `b`.
int CompareListing(std::string_view a, std::string_view b)
{
    TListingUnits left(a), right(b);
    for (;;) {
        const int x = left.Next();
        const int y = right.Next();
        if (x != y || x < 0)
            return x - y;
    }
}

// Puts entries[i] where order says: entry k of the result is entries[order[k]].
void Permute(std::vector<TRecFileData> &entries, std::vector<std::uint32_t> &order)
{
    for (std::uint32_t start = 0; start < order.size(); ++start) {
        if (order[start] == start)
            continue;
        TRecFileData held = std::move(entries[start]);
        std::uint32_t hole = start;
        for (std::uint32_t next = order[hole]; next != start; next = order[hole]) {
            entries[hole] = std::move(entries[next]);
            order[hole] = hole;
            hole = next;
        }
        entries[hole] = std::move(held);
        order[hole] = hole;
    }
}

// A name of its own spelling (UTF-8, or a CP932 reading of its bytes).
TRecFileData MakeEntry(std::string nativeName, const std::string &nameText, std::uintmax_t size)
{
    TRecFileData entry;
    // A name code page 932 cannot spell keeps a visible mark; the mark is
    // double-byte, so such a movie gets a pattern copy name and its real
    // name stays in NativeName for the copy.
    entry.OrgName = Utf8ToCp932Lossy(nameText);
    entry.NativeName = std::move(nativeName);
    entry.FileSize = static_cast<std::int64_t>(std::min<std::uintmax_t>(size, std::numeric_limits<std::int64_t>::max()));
    entry.LinkName = LinkTextOfName(BaseNameOf(nameText));
    entry.SaveName = entry.LinkName;
    return entry;
}

class TFolderListing
{
public:
    explicit TFolderListing(const char *folder) : FDir(::opendir(folder)) {}
    ~TFolderListing()
    {
        if (FDir)
            ::closedir(FDir);
    }
    TFolderListing(const TFolderListing &) = delete;
    TFolderListing &operator=(const TFolderListing &) = delete;

    bool IsOpen() const { return FDir != nullptr; }
    int Fd() const { return ::dirfd(FDir); }
    // The next name, or null at the end or on an error (then `error` is set).
    const char *Next(int &error)
    {
        errno = 0;
        const dirent *entry = ::readdir(FDir);
        error = entry ? 0 : errno;
        return entry ? entry->d_name : nullptr;
    }

private:
    DIR *FDir;
};

// Why a name that is no folder is no movie either; `seen` tells whether it
// could be looked at (through a link).
TLeftOutEntry::TReason WhyLeftOut(int folder, const char *name, bool seen, const struct stat &info)
{
    using TReason = TLeftOutEntry::TReason;
    if (!seen) {
        const int error = errno;
        struct stat link{};
        if (error == ELOOP)
            return TReason::LoopingLink;
        const bool isLink = ::fstatat(folder, name, &link, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(link.st_mode);
        return isLink && error == ENOENT ? TReason::DanglingLink : TReason::Unreadable;
    }
    if (S_ISFIFO(info.st_mode))
        return TReason::Pipe;
    if (S_ISSOCK(info.st_mode))
        return TReason::Socket;
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return TReason::Device;
    return TReason::Unfinished;
}

} // namespace

std::optional<std::string> PlainCopyName(std::string_view orgName, bool lowerCase)
{
    // A control byte is single-byte, yet some servers refuse it in a URL.
    const auto control = [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; };
    if (GetCharWidthKind(KanaToFullWidth(orgName)) != 1 || std::any_of(orgName.begin(), orgName.end(), control))
        return std::nullopt;
    return lowerCase ? AsciiLowerCase(orgName) : std::string(orgName);
}

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
    // Each entry's plain name waits in its CopyName; `plain` says which wait.
    std::vector<bool> plain(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        std::optional<std::string> name = PlainCopyName(entries[i].OrgName, options.LowerCase);
        plain[i] = name.has_value();
        entries[i].CopyName = name ? std::move(*name) : std::string();
    }

    // The names given, folded; a name that folding changes is kept in `folded`.
    std::unordered_set<std::string_view> given;
    std::deque<std::string> folded;
    const auto give = [&](const std::string &name) {
        std::string fold = FoldAsciiCase(name);
        if (fold == name)
            return given.insert(name).second;
        if (given.count(fold) > 0)
            return false;
        return given.insert(folded.emplace_back(std::move(fold))).second;
    };
    // A copy under its own name is the file itself; any other entry taking
    // that name would overwrite it when the movie folder is the source folder.
    const auto givePlain = [&](bool ownNames) {
        for (size_t i = 0; i < entries.size(); ++i)
            if (plain[i] && (entries[i].CopyName == entries[i].OrgName) == ownNames && !give(entries[i].CopyName))
                plain[i] = false;
    };
    givePlain(true);
    givePlain(false);

    std::string stem = FormatRenamePattern(options.RenamePattern, options.Date);
    // A pattern holding a delimiter would send the copy into another folder.
    std::erase_if(stem, IsRefusedNameChar);
    int serial = 1;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (plain[i])
            continue;
        std::string &name = entries[i].CopyName;
        do
            name = stem + ZeroPadded(serial++, 2) + ".amc";
        while (!give(name));
    }
}

std::string DescribeLeftOut(const TLeftOutEntry &entry)
{
    using TReason = TLeftOutEntry::TReason;
    const char *reason = "";
    switch (entry.Reason) {
    case TReason::DanglingLink:
        reason = "リンク先がありません";
        break;
    case TReason::LoopingLink:
        reason = "リンクが循環しています";
        break;
    case TReason::Unreadable:
        reason = "情報を読み取れません";
        break;
    case TReason::Pipe:
        reason = "名前付きパイプです";
        break;
    case TReason::Socket:
        reason = "ソケットです";
        break;
    case TReason::Device:
        reason = "デバイスです";
        break;
    case TReason::Unfinished:
        reason = "中断されたコピーの残りです";
        break;
    }
    return entry.Name + Sjis("（") + Sjis(reason) + Sjis("）");
}

std::string LeftOutMessage(const std::vector<TLeftOutEntry> &leftOut)
{
    constexpr size_t Shown = 20; // a box taller than the screen helps no one
    std::string text = Sjis("次のファイルは動画ではないため、一覧に入れませんでした。");
    for (size_t i = 0; i < leftOut.size() && i < Shown; ++i)
        text += "\r\n" + DescribeLeftOut(leftOut[i]);
    if (leftOut.size() > Shown)
        text += "\r\n" + Sjis("ほか ") + std::to_string(leftOut.size() - Shown) + Sjis(" 件");
    return text;
}

bool ScanSourceFolder(std::string_view folder, const TScanOptions &options, std::vector<TRecFileData> &entries,
                      const TScanProgress &progress, std::vector<TLeftOutEntry> *leftOut)
{
    entries.clear();
    if (leftOut)
        leftOut->clear();
    TFolderListing listing(folder.empty() ? "." : Cp932ToNativePath(folder).c_str());
    if (!listing.IsOpen())
        return true; // a missing or unreadable folder holds no movies

    // The text of a name where it is not the name's own bytes (CP932 names).
    std::vector<std::string> otherTexts;
    int error = 0;
    std::size_t seen = 0;
    for (const char *name = listing.Next(error); name; name = listing.Next(error)) {
        if (std::string_view(name) == "." || std::string_view(name) == "..")
            continue;
        if (progress && !progress(++seen)) {
            entries.clear();
            return false;
        }
        if (AsciiLowerCase(ExtensionOf(name)) != ".amc")
            continue;
        // Relative to the open folder: one name to look up, not the whole path.
        struct stat info{};
        const bool seen = ::fstatat(listing.Fd(), name, &info, 0) == 0;
        if (seen && S_ISDIR(info.st_mode))
            continue;
        if (!seen || !S_ISREG(info.st_mode) || IsUnfinishedFile(info)) {
            if (leftOut)
                leftOut->push_back({Utf8ToCp932Lossy(FileNameText(name)), WhyLeftOut(listing.Fd(), name, seen, info)});
            continue;
        }
        std::string text = FileNameText(name);
        entries.push_back(MakeEntry(name, text, static_cast<std::uintmax_t>(info.st_size)));
        otherTexts.push_back(text == name ? std::string() : std::move(text));
    }
    if (error != 0)
        return false;

    std::vector<std::uint32_t> order(entries.size());
    std::iota(order.begin(), order.end(), 0u);
    const auto textOf = [&](std::uint32_t i) -> std::string_view {
        return otherTexts[i].empty() ? std::string_view(entries[i].NativeName) : std::string_view(otherTexts[i]);
    };
    // Names that differ only in letter case list alike; their own bytes then
    // decide, so that the order never depends on the sort.
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int listed = CompareListing(textOf(a), textOf(b));
        return listed != 0 ? listed < 0 : entries[a].NativeName < entries[b].NativeName;
    });
    std::vector<std::string>().swap(otherTexts);
    Permute(entries, order);
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
