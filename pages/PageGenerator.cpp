#include "pages/PageGenerator.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <utility>

#include "pages/FileErrors.h"
#include "pages/LinkText.h"
#include "pages/NumberFormat.h"
#include "pages/PathRoutines.h"
#include "text/Cp932.h"
#include "text/RB4471HenkanFnc.h"

namespace kpx {

namespace {

constexpr std::string_view CrLf = "\r\n";
constexpr std::string_view IdeographicSpace = "\x81\x40";

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// Replaces every "%x" placeholder regardless of letter case. "%" is never part
// of a double-byte character, so a byte search is safe in CP932 text.
std::string ReplacePlaceholder(std::string_view text, std::string_view placeholder, std::string_view value)
{
    std::string result;
    result.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '%' && EqualsNoCase(text.substr(i, placeholder.size()), placeholder)) {
            result += value;
            i += placeholder.size();
        } else {
            result += text[i++];
        }
    }
    return result;
}

// A link the page writes (the unquoted data= value, a page name in a footer):
// every single byte that ends an unquoted attribute or means something in a
// URL becomes %XX. A ":" would make a first segment a scheme and browsers read
// "\\" as "/". Double-byte characters stay whole, since a trail byte may equal
// one of those bytes (a backquote, a backslash) yet is none.
void AppendDataLink(std::string &out, std::string_view link)
{
    constexpr std::string_view Escaped = "\"#%&':<=>?\\`";
    constexpr char Hex[] = "0123456789ABCDEF";
    for (size_t i = 0; i < link.size(); ++i) {
        const auto byte = static_cast<unsigned char>(link[i]);
        if (IsSjisLeadByte(byte) && i + 1 < link.size() && IsSjisTrailByte(static_cast<unsigned char>(link[i + 1]))) {
            out += link.substr(i++, 2);
        } else if (byte <= 0x20 || byte == 0x7F || Escaped.find(link[i]) != std::string_view::npos) {
            out += '%';
            out += Hex[byte >> 4];
            out += Hex[byte & 0xF];
        } else {
            out += link[i];
        }
    }
}

// A quoted attribute's text: only the quote could end it. Character references
// the user typed (handset pictographs) must keep working, so only an "&" that
// begins none is escaped. Neither byte is ever part of a double-byte character.
void AppendQuotedText(std::string &out, std::string_view text)
{
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            out += "&quot;";
        else if (text[i] == '&' && !BeginsCharacterReference(text.substr(i)))
            out += "&amp;";
        else
            out += text[i];
    }
}

std::string LinkToPage(std::string_view pageName)
{
    std::string link;
    AppendDataLink(link, pageName);
    return link;
}

std::string_view BaseName(std::string_view fileName)
{
    const size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
}

std::string PageName(const TPublishJob &job, int pageIndex)
{
    // The names come from the last build; the naming rule stands in for a missing one.
    return static_cast<size_t>(pageIndex) < job.PageNames.size() ? job.PageNames[static_cast<size_t>(pageIndex)]
                                                                   : PageFileName(job.HtmlFileName, pageIndex + 1);
}

std::string MakeFooter(const TPublishJob &job, int pageIndex, int pageCount)
{
    // The names the run writes the pages under: links and files always agree.
    const std::string previous = LinkToPage(PageName(job, pageIndex - 1));
    const std::string next = LinkToPage(PageName(job, pageIndex + 1));
    if (pageIndex == 0)
        return ReplacePlaceholder(job.Templates.Footers[0], "%n", next);
    if (pageIndex == pageCount - 1)
        return ReplacePlaceholder(job.Templates.Footers[2], "%p", previous);
    return ReplacePlaceholder(ReplacePlaceholder(job.Templates.Footers[1], "%n", next), "%p", previous);
}

// Entries in use; never more than the list holds.
int MovieCount(const TEntryList &entries)
{
    return std::min(entries.FEntryCount, static_cast<int>(entries.FEntries.size()));
}


std::string BuildPageText(const TPublishJob &job, const TEntryList &entries, int pageIndex, std::string_view linkPath)
{
    const auto addItem = [](std::string &text, std::string_view item) {
        text += item;
        text += CrLf;
    };
    std::string text;
    addItem(text, ReplacePlaceholder(job.Templates.Header, "%i", std::to_string(pageIndex + 1)));
    const int first = pageIndex * entries.FPageItemCount;
    for (int k = first; k < first + entries.FPageItemCount && k < MovieCount(entries); ++k)
        addItem(text, MakeMovieBlock(entries.FEntries[static_cast<size_t>(k)], linkPath));
    if (entries.FPageCount > 1)
        addItem(text, MakeFooter(job, pageIndex, entries.FPageCount));
    return text;
}

// Where a run's files come from and go, as the file system spells them,
// converted once for the whole run.
struct TRunFolders
{
    explicit TRunFolders(const TPublishJob &job)
        : Source(NativeFolder(job.SourceDir))
        , Html(NativeFolder(job.HtmlDir))
        , Movie(NativeFolder(job.MovieDir))
        , LinkPath(GetRelativeLinkPath(job.HtmlDir, job.MovieDir))
    {
    }

    static std::string NativeFolder(const std::string &cp932Folder)
    {
        return cp932Folder.empty() ? std::string() : IncludePathDelimiter(Cp932ToNativePath(cp932Folder).native());
    }

    std::string Source, Html, Movie;
    std::string LinkPath;
};

// The entries of page r, as indexes into the list.
std::pair<int, int> PageEntries(const TEntryList &entries, int pageIndex)
{
    const int first = pageIndex * entries.FPageItemCount;
    return {first, std::min(first + entries.FPageItemCount, MovieCount(entries))};
}

// Entries on some page of the run: the rest are not published.
int PublishedCount(const TEntryList &entries)
{
    return std::min(MovieCount(entries), entries.FPageCount * entries.FPageItemCount);
}

std::uintmax_t ListedBytes(const TRecFileData &entry)
{
    return static_cast<std::uintmax_t>(std::max<std::int64_t>(entry.FileSize, 0));
}

TPublishTarget MovieTarget(const TRunFolders &folders, const TRecFileData &entry, int pageIndex)
{
    // An entry the list window wrote back keeps its real name; one without
    // it is named by its code page 932 spelling.
    const std::string nativeName =
        entry.NativeName.empty() ? Cp932ToNativePath(entry.OrgName).native() : entry.NativeName;
    return {TPublishTarget::TKind::Movie, pageIndex, entry.CopyName, folders.Source + nativeName,
            folders.Movie + Cp932ToNativePath(entry.CopyName).native(), ListedBytes(entry)};
}


TPublishTarget PageTarget(const TPublishJob &job, const TRunFolders &folders, int pageIndex, std::uintmax_t bytes)
{
    std::string name = PageName(job, pageIndex);
    std::string destination = folders.Html + Cp932ToNativePath(name).native();
    return {TPublishTarget::TKind::Page, pageIndex, std::move(name), std::string(), std::move(destination), bytes};
}

// Every file the run copies from, for the rare question whether a destination
// is one of them.
TRunSources MovieSources(const TEntryList &entries, const TRunFolders &folders)
{
    return TRunSources([&entries, &folders] {
        std::vector<std::string> files;
        for (int k = 0; k < PublishedCount(entries); ++k)
            files.push_back(MovieTarget(folders, entries.FEntries[static_cast<size_t>(k)], 0).Source);
        return files;
    });
}

// A folder that is gone, is no folder, or is read-only would fail every later
// file in it with the same message, so its first failure ends the run.
bool FolderTakesFiles(const std::string &folder)
{
    struct stat folderStat{};
    return ::stat(folder.c_str(), &folderStat) == 0 && S_ISDIR(folderStat.st_mode)
           && ::access(folder.c_str(), W_OK) == 0;
}

// One make-pages run, a page at a time: its movies, then the page itself,
// the observer told before and after each. Nothing is held for later pages.
class TPublishRun
{
public:
    TPublishRun(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt, TPublishObserver *observer)
        : FJob(job)
        , FEntries(entries)
        , FFolders(job)
        , FSources(MovieSources(entries, FFolders))
        , FMovieFolder(FFolders.Movie, job.Placement)
        , FPrompt(prompt)
        , FObserver(observer)
        , FBytesTotal(observer ? BytesTotal() : 0)
    {
        if (FFolders.Html != FFolders.Movie)
            FHtmlFolderApart.emplace(FFolders.Html, job.Placement);
    }

    // False when the run ended on this page.
    bool Publish(int pageIndex)
    {
        const auto [first, end] = PageEntries(FEntries, pageIndex);
        for (int k = first; k < end; ++k) {
            const TPublishTarget movie = MovieTarget(FFolders, FEntries.FEntries[static_cast<size_t>(k)], pageIndex);
            if (!Starting(movie))
                return false;
            const TCopyResult result = CopyUnderPolicy(movie.Source, movie.Destination, FJob.Policy, FPrompt,
                                                       Progress(movie), FMovieFolder.Knowledge(FSources));
            if (!Finished(movie, FFolders.Movie, result))
                return false;
        }
        const std::string text = BuildPageText(FJob, FEntries, pageIndex, FFolders.LinkPath);
        const TPublishTarget page = PageTarget(FJob, FFolders, pageIndex, text.size());
        if (!Starting(page))
            return false;
        TCopyResult result{};
        try {
            result = WriteUnderPolicy(text, page.Destination, FJob.Policy, FPrompt, HtmlFolder().Knowledge(FSources));
        } catch (const TFileError &error) {
            FPrompt.Error(error.what());
            Finished(page, FFolders.Html, TCopyResult::Failed);
            return false;
        }
        return Finished(page, FFolders.Html, result);
    }

private:
    // The progress dialog shows the bytes of the whole run, page texts
    // included; they are built once more for it, which costs far less than
    // holding them.
    std::uintmax_t BytesTotal() const
    {
        std::uintmax_t total = 0;
        for (int k = 0; k < PublishedCount(FEntries); ++k)
            total += ListedBytes(FEntries.FEntries[static_cast<size_t>(k)]);
        for (int r = 0; r < FEntries.FPageCount; ++r)
            total += BuildPageText(FJob, FEntries, r, FFolders.LinkPath).size();
        return total;
    }

    // A folder the run writes into: its names as the run began (a name made
    // by an earlier step is met when put in place) and the ways its file
    // system offers.
    struct TTargetFolder
    {
        TTargetFolder(const std::string &path, const TPlacementWays &ways) : Names(path, true), Ways(ways) {}
        TRunKnowledge Knowledge(const TRunSources &sources) { return {&sources, &Names, &Ways}; }

        const TFolderNames Names;
        TPlacementWays Ways;
    };

    TTargetFolder &HtmlFolder() { return FHtmlFolderApart ? *FHtmlFolderApart : FMovieFolder; }

    bool Starting(const TPublishTarget &target)
    {
        if (FPrompt.StopRequested())
            return false; // the user's answer to a question; no more to tell
        if (!FObserver)
            return true;
        if (FObserver->Cancelled())
            return false;
        FObserver->FileStarting(target, FBytesDone, FBytesTotal);
        return true;
    }

    TCopyProgress Progress(const TPublishTarget &target) const
    {
        if (!FObserver)
            return {};
        return [this, &target](std::uintmax_t copied) {
            // The listed size may be behind the file's own.
            FObserver->FileProgress(target, FBytesDone + std::min(copied, target.Bytes), FBytesTotal);
        };
    }

    bool Finished(const TPublishTarget &target, const std::string &folder, TCopyResult result)
    {
        FBytesDone += target.Bytes;
        if (FObserver)
            FObserver->FileDone(target, result);
        return result != TCopyResult::Failed || FolderTakesFiles(folder);
    }

    const TPublishJob &FJob;
    const TEntryList &FEntries;
    const TRunFolders FFolders;
    const TRunSources FSources;
    TTargetFolder FMovieFolder;
    std::optional<TTargetFolder> FHtmlFolderApart;
    TUserPrompt &FPrompt;
    TPublishObserver *FObserver;
    std::uintmax_t FBytesTotal;
    std::uintmax_t FBytesDone = 0;
};

bool PassesPreCheck(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt)
{
    return job.Policy != TOverwritePolicy::WarnAndStop
           || PreCheckTargets(entries, job.MovieDir, job.HtmlDir, job.PageNames, prompt);
}

} // namespace

std::string PageFileName(std::string_view htmlFileName, int pageNumber)
{
    std::string name(BaseName(htmlFileName));
    if (pageNumber >= 2) {
        char digits[16];
        std::snprintf(digits, sizeof digits, "%02d", pageNumber);
        name += digits;
    }
    return name + ".html";
}

std::vector<std::string> PageFileNames(std::string_view htmlFileName, int pageCount)
{
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(std::max(pageCount, 0)));
    for (int page = 1; page <= pageCount; ++page)
        names.push_back(PageFileName(htmlFileName, page));
    return names;
}

std::string MakeMovieBlock(const TRecFileData &entry, std::string_view linkPath)
{
    const auto pick = [](const auto &table, std::int32_t index) {
        // Values out of range come only from a damaged entry; fall back to the first.
        return index >= 0 && static_cast<size_t>(index) < table.size() ? table[static_cast<size_t>(index)] : table[0];
    };
    std::string block;
    block.reserve(320 + entry.LinkName.size() + entry.SaveName.size() + entry.CopyName.size());
    block += "<object data=";
    AppendDataLink(block, linkPath);
    AppendDataLink(block, entry.CopyName);
    block += " type=\"application/x-mpeg\" copyright=\"";
    block += pick(RightsTexts, entry.DlKind);
    block += "\" ";
    block += CrLf;
    block += "    standby=\"";
    AppendQuotedText(block, entry.LinkName);
    block += " (";
    block += FormatThousands(entry.FileSize);
    block += "byte)\">";
    block += CrLf;
    block += IdeographicSpace;
    block += "<param name=\"title\" value=\"";
    AppendQuotedText(block, entry.SaveName);
    block += "\" valuetype=\"data\" />";
    block += CrLf;
    block += IdeographicSpace;
    block += "<param name=\"size\" value=\"";
    block += std::to_string(entry.FileSize);
    block += "\" valuetype=\"data\" />";
    block += CrLf;
    block += IdeographicSpace;
    block += "<param name=\"disposition\" value=\"";
    block += pick(DispositionPrefixes, entry.DlKind);
    block += pick(NoVideoMarks, entry.NoVideo ? 1 : 0);
    block += pick(SoundMarks, entry.SoundKind);
    block += "\" valuetype=\"data\" />";
    block += CrLf;
    block += "</object>";
    block += CrLf;
    block += CrLf; // the empty seventh line
    return block;
}

std::string MakePageText(const TPublishJob &job, const TEntryList &entries, int pageIndex)
{
    return BuildPageText(job, entries, pageIndex, GetRelativeLinkPath(job.HtmlDir, job.MovieDir));
}

bool MakeHtmlFiles(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt, TPublishObserver *observer)
{
    if (!PassesPreCheck(job, entries, prompt))
        return false;
    try {
        TPublishRun run(job, entries, prompt, observer);
        for (int r = 0; r < entries.FPageCount; ++r)
            if (!run.Publish(r))
                return false;
    } catch (const std::exception &error) {
        prompt.Error(error.what());
        return false;
    }
    return true;
}

bool PlanHtmlFiles(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt, const TPlanStep &step)
{
    if (!PassesPreCheck(job, entries, prompt))
        return false;
    const TRunFolders folders(job);
    const TRunSources sources = MovieSources(entries, folders);
    // A folder's names as the plan starts, and the names an earlier step
    // would have made there; one of each when the two folders are one.
    struct TPlannedFolder
    {
        explicit TPlannedFolder(const std::string &path) : Names(path) {}
        const TFolderNames Names;
        std::unordered_set<std::string> Created;
    };
    TPlannedFolder movieFolder(folders.Movie);
    std::optional<TPlannedFolder> htmlApart;
    if (folders.Html != folders.Movie)
        htmlApart.emplace(folders.Html);
    TPlannedFolder &htmlFolder = htmlApart ? *htmlApart : movieFolder;
    // `decideThere` decides from what is in the folder now.
    const auto decide = [&](const TPublishTarget &target, TPlannedFolder &folder, const auto &decideThere) {
        const bool made = folder.Created.count(target.Name) > 0;
        const TCopyAction action = made ? DecideCopy(job.Policy, TDestination::Other) : decideThere();
        if (action == TCopyAction::Copy)
            folder.Created.insert(target.Name);
        step({target, action});
    };
    for (int r = 0; r < entries.FPageCount; ++r) {
        const auto [first, end] = PageEntries(entries, r);
        for (int k = first; k < end; ++k) {
            const TPublishTarget movie = MovieTarget(folders, entries.FEntries[static_cast<size_t>(k)], r);
            decide(movie, movieFolder, [&] {
                return DecideCopy(job.Policy, FindDestination(movie.Source, movie.Destination, {&sources, &movieFolder.Names}));
            });
        }
        const std::string text = BuildPageText(job, entries, r, folders.LinkPath);
        const TPublishTarget page = PageTarget(job, folders, r, text.size());
        decide(page, htmlFolder,
               [&] { return DecideWrite(job.Policy, text, page.Destination, {&sources, &htmlFolder.Names}); });
    }
    return true;
}

} // namespace kpx
