#include "pages/PageGenerator.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "pages/FileErrors.h"
#include "pages/NumberFormat.h"
#include "pages/PathRoutines.h"
#include "text/Cp932.h"
#include "text/RB4471HenkanFnc.h"

namespace kpx {

namespace fs = std::filesystem;

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

// The unquoted data= value: every single byte that ends an unquoted attribute
// or means something in a URL becomes %XX; double-byte characters stay whole,
// since a trail byte may equal one of those bytes (a backquote) yet is none.
void AppendDataLink(std::string &out, std::string_view link)
{
    constexpr std::string_view Escaped = "\"#%&'<=>?`";
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

// A quoted attribute's text: only the quote could end it. Entity references
// the user typed (handset pictographs) must keep working, so "&" stays.
void AppendQuotedText(std::string &out, std::string_view text)
{
    for (const char c : text) {
        if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
}

std::string_view BaseName(std::string_view fileName)
{
    const size_t dot = fileName.rfind('.');
    return dot == std::string_view::npos ? fileName : fileName.substr(0, dot);
}

std::string MakeFooter(const TPublishJob &job, int pageIndex, int pageCount)
{
    const std::string previous = PageFileName(job.HtmlFileName, pageIndex);
    const std::string next = PageFileName(job.HtmlFileName, pageIndex + 2);
    if (pageIndex == 0)
        return ReplacePlaceholder(job.Templates.Footers[0], "%n", next);
    if (pageIndex == pageCount - 1)
        return ReplacePlaceholder(job.Templates.Footers[2], "%p", previous);
    return ReplacePlaceholder(ReplacePlaceholder(job.Templates.Footers[1], "%n", next), "%p", previous);
}

// Writes a whole new file, never through a link; a partial file is removed
// again. Failures name the file it is written for.
void WriteWholeFile(const fs::path &path, std::string_view bytes, const fs::path &writtenFor)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        throw TFileError(FileErrorMessage(writtenFor, Sjis("を作成できません。"), errno));
    int error = 0;
    for (size_t done = 0; done < bytes.size() && error == 0;) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR)
            error = errno;
        else if (n > 0)
            done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(path.c_str());
        throw TFileError(FileErrorMessage(writtenFor, Sjis("を書き込めません。"), error));
    }
}

// Entries in use; never more than the list holds.
int MovieCount(const TEntryList &entries)
{
    return std::min(entries.FEntryCount, static_cast<int>(entries.FEntries.size()));
}

fs::path MovieSourcePath(const TPublishJob &job, const TRecFileData &entry)
{
    const fs::path folder = Cp932ToNativePath(job.SourceDir);
    return entry.NativeName.empty() ? Cp932ToNativePath(job.SourceDir + entry.OrgName) : folder / entry.NativeName;
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

// One page's share of a run: its movies, then the page itself, in run order.
struct TPageWork
{
    std::vector<TPublishTarget> Movies;
    TPublishTarget Page;
    std::string Text;
};

// A folder of the run's own in the temporary folder, which only this user
// may enter, so nothing planted there can redirect a page; it goes with
// everything in it when the run ends.
class TPrivateTempFolder
{
public:
    TPrivateTempFolder()
    {
        std::string path = Cp932ToNativePath(GetTempDir()).native() + "kpx-XXXXXX";
        if (::mkdtemp(path.data()) == nullptr)
            throw TFileError(FileErrorMessage(fs::path(path).parent_path(), Sjis("に一時フォルダを作成できません。"), errno));
        FPath = path;
    }
    ~TPrivateTempFolder()
    {
        std::error_code ignored;
        fs::remove_all(FPath, ignored);
    }
    TPrivateTempFolder(const TPrivateTempFolder &) = delete;
    TPrivateTempFolder &operator=(const TPrivateTempFolder &) = delete;

    const fs::path &Path() const { return FPath; }

private:
    fs::path FPath;
};

// Short and never derived from the page's name, so that every page name the
// html folder takes can be written.
fs::path TemporaryPagePath(const fs::path &tempDir, int pageIndex)
{
    return tempDir / (std::to_string(pageIndex + 1) + ".tmp");
}

TPageWork PreparePage(const TPublishJob &job, const TEntryList &entries, int pageIndex, std::string_view linkPath,
                      const fs::path &tempDir)
{
    TPageWork work;
    const int first = pageIndex * entries.FPageItemCount;
    for (int k = first; k < first + entries.FPageItemCount && k < MovieCount(entries); ++k) {
        const TRecFileData &entry = entries.FEntries[static_cast<size_t>(k)];
        work.Movies.push_back({TPublishTarget::TKind::Movie, pageIndex, entry.CopyName, MovieSourcePath(job, entry),
                               Cp932ToNativePath(job.MovieDir + entry.CopyName),
                               static_cast<std::uintmax_t>(std::max<std::int32_t>(entry.FileSize, 0))});
    }
    // The names come from the last build; the naming rule stands in for a missing one.
    const std::string name = static_cast<size_t>(pageIndex) < job.PageNames.size()
                                 ? job.PageNames[static_cast<size_t>(pageIndex)]
                                 : PageFileName(job.HtmlFileName, pageIndex + 1);
    work.Text = BuildPageText(job, entries, pageIndex, linkPath);
    work.Page = {TPublishTarget::TKind::Page, pageIndex, name, TemporaryPagePath(tempDir, pageIndex),
                 Cp932ToNativePath(job.HtmlDir + name), work.Text.size()};
    return work;
}

std::vector<TPageWork> PrepareAllPages(const TPublishJob &job, const TEntryList &entries, const fs::path &tempDir)
{
    const std::string linkPath = GetRelativeLinkPath(job.HtmlDir, job.MovieDir);
    std::vector<TPageWork> pages;
    for (int r = 0; r < entries.FPageCount; ++r)
        pages.push_back(PreparePage(job, entries, r, linkPath, tempDir));
    return pages;
}

// A folder that is gone, is no folder, or is read-only would fail every later
// file in it with the same message, so its first failure ends the run.
bool FolderTakesFiles(const fs::path &folder)
{
    struct stat folderStat{};
    return ::stat(folder.c_str(), &folderStat) == 0 && S_ISDIR(folderStat.st_mode)
           && ::access(folder.c_str(), W_OK) == 0;
}

TRunSources MovieSources(const std::vector<TPageWork> &pages)
{
    std::vector<fs::path> files;
    for (const TPageWork &work : pages)
        for (const TPublishTarget &movie : work.Movies)
            files.push_back(movie.Source);
    return TRunSources(std::move(files));
}

// One make-pages run: each target in turn, the observer told before and after.
class TPublishRun
{
public:
    TPublishRun(const TPublishJob &job, const std::vector<TPageWork> &pages, TUserPrompt &prompt,
                TPublishObserver *observer)
        : FJob(job)
        , FSources(MovieSources(pages))
        , FPrompt(prompt)
        , FObserver(observer)
        , FBytesTotal(BytesTotal(pages))
    {
    }

    // False when the run ended on this page.
    bool Publish(const TPageWork &work)
    {
        for (const TPublishTarget &movie : work.Movies) {
            if (!Starting(movie))
                return false;
            const TCopyResult result =
                CopyUnderPolicy(movie.Source, movie.Destination, FJob.Policy, FPrompt, Progress(movie), &FSources);
            if (!Finished(movie, result))
                return false;
        }
        if (!Starting(work.Page))
            return false;
        WriteWholeFile(work.Page.Source, work.Text, work.Page.Destination);
        const TCopyResult result =
            MoveUnderPolicy(work.Page.Source, work.Page.Destination, FJob.Policy, FPrompt, &FSources);
        std::error_code ignored; // gone when it was moved; one left behind harms nothing
        fs::remove(work.Page.Source, ignored);
        return Finished(work.Page, result);
    }

private:
    static std::uintmax_t BytesTotal(const std::vector<TPageWork> &pages)
    {
        std::uintmax_t total = 0;
        for (const TPageWork &work : pages) {
            for (const TPublishTarget &movie : work.Movies)
                total += movie.Bytes;
            total += work.Page.Bytes;
        }
        return total;
    }

    bool Starting(const TPublishTarget &target)
    {
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

    bool Finished(const TPublishTarget &target, TCopyResult result)
    {
        FBytesDone += target.Bytes;
        if (FObserver)
            FObserver->FileDone(target, result);
        return result != TCopyResult::Failed || FolderTakesFiles(target.Destination.parent_path());
    }

    const TPublishJob &FJob;
    const TRunSources FSources;
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
        const TPrivateTempFolder tempFolder;
        const std::vector<TPageWork> pages = PrepareAllPages(job, entries, tempFolder.Path());
        TPublishRun run(job, pages, prompt, observer);
        for (const TPageWork &work : pages)
            if (!run.Publish(work))
                return false;
    } catch (const std::exception &error) {
        prompt.Error(error.what());
        return false;
    }
    return true;
}

bool PlanHtmlFiles(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt,
                   std::vector<TPlannedCopy> &plan)
{
    plan.clear();
    if (!PassesPreCheck(job, entries, prompt))
        return false;
    // Nothing is written, so the pages need no temporary folder.
    const std::vector<TPageWork> pages = PrepareAllPages(job, entries, fs::path());
    const TRunSources sources = MovieSources(pages);
    std::set<fs::path> created;
    const auto decide = [&](const TPublishTarget &target) {
        const fs::path source = target.Kind == TPublishTarget::TKind::Movie ? target.Source : fs::path();
        const TDestination found = created.count(target.Destination) > 0
                                       ? TDestination::Other
                                       : FindDestination(source, target.Destination, &sources);
        const TCopyAction action = DecideCopy(job.Policy, found);
        if (action == TCopyAction::Copy)
            created.insert(target.Destination);
        plan.push_back({target, action});
    };
    for (const TPageWork &work : pages) {
        for (const TPublishTarget &movie : work.Movies)
            decide(movie);
        decide(work.Page);
    }
    return true;
}

} // namespace kpx
