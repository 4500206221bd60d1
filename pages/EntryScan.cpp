#include "pages/EntryScan.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <numeric>
#include <optional>
#include <sys/stat.h>
#include <unordered_set>
#include <utility>

#include "pages/AtomicFile.h"
#include "pages/FileLook.h"
#include "pages/LinkText.h"
#include "pages/ListingOrder.h"
#include "pages/ReadyMemory.h"
#include "pages/RenamePattern.h"
#include "pages/ShareOut.h"
#include "pages/TestSeams.h"
#include "text/Cp932.h"
#include "text/Cp932Walk.h"
#include "text/NameParts.h"
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

// A name of its own spelling (UTF-8, or a CP932 reading of its bytes).
TRecFileData MakeEntry(std::string nativeName, const std::string &nameText, const TFileLook &look)
{
    const auto size = static_cast<std::uintmax_t>(look.Size);
    TRecFileData entry;
    // A name code page 932 cannot spell keeps a visible mark; the mark is
    // double-byte, so such a movie gets a pattern copy name and its real
    // name stays in NativeName for the copy.
    entry.OrgName = Utf8ToCp932Lossy(nameText);
    entry.NativeName = std::move(nativeName);
    entry.FileSize =
        static_cast<std::int64_t>(std::min<std::uintmax_t>(size, std::numeric_limits<std::int64_t>::max()));
    entry.LinkName = LinkTextOfName(BaseName(nameText));
    entry.SaveName = entry.LinkName;
    entry.Seen = TSeenFile{look.Modified, look.Device, look.Inode};
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
        const dirent *entry = ReadFolderEntry(FDir);
        error = entry ? 0 : errno;
        return entry ? entry->d_name : nullptr;
    }

private:
    DIR *FDir;
};

// Why a name that is no folder is no movie either; `seen` tells whether it
// could be looked at (through a link).
TLeftOutEntry::TReason WhyLeftOut(int folder, const std::string &name, const TFileLook &look)
{
    using TReason = TLeftOutEntry::TReason;
    if (!look.Seen()) {
        struct stat link = {};
        if (look.Error == ELOOP)
            return TReason::LoopingLink;
        const bool isLink = ::fstatat(folder, name.c_str(), &link, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(link.st_mode);
        return isLink && look.Error == ENOENT ? TReason::DanglingLink : TReason::Unreadable;
    }
    if (S_ISFIFO(look.Mode))
        return TReason::Pipe;
    if (S_ISSOCK(look.Mode))
        return TReason::Socket;
    if (S_ISCHR(look.Mode) || S_ISBLK(look.Mode))
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
    return lowerCase ? FoldAsciiCase(orgName) : std::string(orgName);
}

int GetCharWidthKind(std::string_view text)
{
    if (TrimControlAndSpace(text).empty())
        return -1;
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++chars)
        i += Cp932CharLength(text, i);
    if (chars == text.size())
        return 1;
    if (chars * 2 == text.size())
        return 2;
    return 0;
}

void AssignCopyNames(std::vector<TRecFileData> &entries, const TScanOptions &options,
                     const std::vector<std::string> &recorded)
{
    std::vector<std::optional<std::string>> plain(entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        plain[i] = PlainCopyName(entries[i].OrgName, options.LowerCase);

    // The names given, folded; a name that folding changes is kept in `folded`.
    std::unordered_set<std::string_view> given;
    given.reserve(entries.size());
    std::deque<std::string> folded;
    const auto give = [&](const std::string &name) {
        std::string fold = FoldAsciiCase(name);
        if (fold == name)
            return given.insert(name).second;
        if (given.count(fold) > 0)
            return false;
        return given.insert(folded.emplace_back(std::move(fold))).second;
    };
    std::vector<bool> named(entries.size());
    const auto nameWith = [&](size_t i, const std::string &name) {
        if (!named[i] && give(name)) {
            entries[i].CopyName = name;
            named[i] = true;
        }
    };
    // A copy under its own name is the file itself; any other entry taking
    // that name would overwrite it when the movie folder is the source folder.
    for (size_t i = 0; i < entries.size(); ++i)
        if (plain[i] && *plain[i] == entries[i].OrgName)
            nameWith(i, *plain[i]);
    // An earlier run's copy keeps its name, so that its pages stay as they were.
    for (size_t i = 0; i < recorded.size() && i < entries.size(); ++i)
        if (!recorded[i].empty())
            nameWith(i, recorded[i]);
    for (size_t i = 0; i < entries.size(); ++i)
        if (plain[i])
            nameWith(i, *plain[i]);

    const std::string stem = RenamePatternStem(options.RenamePattern, options.Date);
    int serial = 1;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (named[i])
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
    case TReason::CopyOfGoneMovie:
        reason = "以前のコピーで、元の動画はもうありません。不要なら削除できます";
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
    {
        // The folder's movie names first, then one look at each, taken together.
        std::vector<std::string> names;
        int error = 0;
        std::size_t seen = 0;
        for (const char *name = listing.Next(error); name; name = listing.Next(error)) {
            if (std::string_view(name) == "." || std::string_view(name) == "..")
                continue;
            if (progress && !progress(++seen)) {
                entries.clear();
                return false;
            }
            if (FoldAsciiCase(Extension(name)) == ".amc")
                names.emplace_back(name);
        }
        if (error != 0)
            return false;
        const std::vector<TFileLook> looks = LookAtAll(listing.Fd(), names);
        const auto isMovie = [&](const TFileLook &look) {
            return look.Seen() && S_ISREG(look.Mode) && !(options.FolderIsWritten && IsUnfinishedFile(look.AsStat()));
        };

        // Each movie's entry (its names and link text) is made in its listed
        // place on the threads that pay; the list then closes up.
        ResizeReady(entries, names.size());
        ResizeReady(otherTexts, names.size());
        ShareOut(names.size(), [&](size_t first, size_t end) {
            for (size_t i = first; i < end; ++i) {
                if (!isMovie(looks[i]))
                    continue;
                std::string text = FileNameText(names[i]);
                const bool ownText = text == names[i];
                entries[i] = MakeEntry(std::move(names[i]), text, looks[i]);
                if (!ownText)
                    otherTexts[i] = std::move(text);
            }
        });
        size_t kept = 0;
        for (size_t i = 0; i < names.size(); ++i) {
            const TFileLook &look = looks[i];
            if (isMovie(look)) {
                if (kept != i) {
                    entries[kept] = std::move(entries[i]);
                    otherTexts[kept] = std::move(otherTexts[i]);
                }
                ++kept;
            } else if (leftOut && !(look.Seen() && S_ISDIR(look.Mode))) {
                leftOut->push_back({Utf8ToCp932Lossy(FileNameText(names[i])), WhyLeftOut(listing.Fd(), names[i], look)});
            }
        }
        entries.resize(kept);
        otherTexts.resize(kept);
    } // the names and their looks go before the list is sorted and named

    SortInListingOrder(entries, otherTexts);
    std::vector<std::string>().swap(otherTexts);
    AssignCopyNames(entries, options);
    return true;
}

} // namespace kpx
