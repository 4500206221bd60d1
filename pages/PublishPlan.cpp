#include "pages/PublishPlan.h"

#include <algorithm>
#include <span>
#include <utility>

#include "pages/PathRoutines.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

std::string NativeFolder(const std::string &cp932Folder)
{
    return cp932Folder.empty() ? std::string() : IncludePathDelimiter(Cp932ToNativeName(cp932Folder));
}

std::uintmax_t ListedBytes(const TRecFileData &entry)
{
    return static_cast<std::uintmax_t>(std::max<std::int64_t>(entry.FileSize, 0));
}

std::string PageTextOf(const TPublishJob &job, const TEntryList &entries, int pageIndex, int pageCount,
                       std::string_view linkPath)
{
    const auto [first, end] = PageEntryRange(entries, pageIndex);
    const std::span<const TRecFileData> movies(entries.FEntries.data() + first, static_cast<size_t>(end - first));
    return BuildPageText(job.Templates, job.HtmlFileName, job.PageNames, movies, linkPath, pageIndex, pageCount);
}

} // namespace

std::string PageName(const TPublishJob &job, int pageIndex)
{
    return static_cast<size_t>(pageIndex) < job.PageNames.size() ? job.PageNames[static_cast<size_t>(pageIndex)]
                                                                 : PageFileName(job.HtmlFileName, pageIndex + 1);
}

std::string NativePageName(const TPublishJob &job, int pageIndex)
{
    return Cp932ToNativeName(PageName(job, pageIndex));
}

TPublishJob MakePublishJob(const TPublishSettings &settings, std::vector<std::string> pageNames)
{
    TPublishJob job;
    job.SourceDir = settings.SourceDir;
    job.HtmlDir = settings.HtmlDir;
    job.MovieDir = settings.MovieDir;
    job.HtmlFileName = settings.HtmlFileName;
    job.PageNames = std::move(pageNames);
    job.Templates = settings.Templates;
    job.Policy = settings.Policy;
    return job;
}

TRunFolders::TRunFolders(const TPublishJob &job)
    : Source(NativeFolder(job.SourceDir))
    , Html(NativeFolder(job.HtmlDir))
    , Movie(NativeFolder(job.MovieDir))
    , LinkPath(GetRelativeLinkPath(job.HtmlDir, job.MovieDir))
{}

TPublicationWalk::TPublicationWalk(const TPublishJob &job, const TEntryList &entries)
    : FJob(job)
    , FEntries(entries)
    , FFolders(job)
{}

bool TPublicationWalk::Walk(const TMovieVisit &movie, const TPageVisit &page) const
{
    for (int r = 0; r < FEntries.FPageCount; ++r) {
        const auto [first, end] = PageEntryRange(FEntries, r);
        for (int k = first; k < end; ++k)
            if (!movie(MovieTarget(k, r)))
                return false;
        const std::string text = PageText(r, FEntries.FPageCount);
        if (!page(PageTarget(r, text.size()), text))
            return false;
    }
    return true;
}

TRunSources TPublicationWalk::Sources(const TOpenFolder &sourceFolder) const
{
    return TRunSources(sourceFolder, [this] {
        std::vector<std::string> names;
        for (int k = 0; k < PublishedCount(FEntries); ++k)
            names.push_back(NativeFileName(FEntries.FEntries[static_cast<size_t>(k)]));
        return names;
    });
}

std::uintmax_t TPublicationWalk::BytesTotal() const
{
    // Page texts are built once more for this, which costs far less than holding them.
    std::uintmax_t total = 0;
    for (int k = 0; k < PublishedCount(FEntries); ++k)
        total += ListedBytes(FEntries.FEntries[static_cast<size_t>(k)]);
    for (int r = 0; r < FEntries.FPageCount; ++r)
        total += PageText(r, FEntries.FPageCount).size();
    return total;
}

TPublishTarget TPublicationWalk::PageAsLast(int pageIndex, std::string &text) const
{
    text = PageText(pageIndex, pageIndex + 1);
    return PageTarget(pageIndex, text.size());
}

std::string TPublicationWalk::PageText(int pageIndex) const
{
    return PageText(pageIndex, FEntries.FPageCount);
}

TPublishTarget TPublicationWalk::PageTarget(int pageIndex, std::uintmax_t bytes) const
{
    return Target(TPublishTarget::TKind::Page, pageIndex, PageName(FJob, pageIndex), FFolders.Html, bytes);
}

TPublishTarget TPublicationWalk::MovieTarget(int entryIndex, int pageIndex) const
{
    const TRecFileData &entry = FEntries.FEntries[static_cast<size_t>(entryIndex)];
    TPublishTarget target =
        Target(TPublishTarget::TKind::Movie, pageIndex, entry.CopyName, FFolders.Movie, ListedBytes(entry));
    target.Movie = &entry;
    return target;
}

TPublishTarget TPublicationWalk::Target(TPublishTarget::TKind kind, int pageIndex, std::string name,
                                        const std::string &folder, std::uintmax_t bytes) const
{
    TPublishTarget target;
    target.Kind = kind;
    target.PageIndex = pageIndex;
    target.FileName = Cp932ToNativeName(name);
    target.Destination = folder + target.FileName;
    target.Name = std::move(name);
    target.Bytes = bytes;
    return target;
}

std::string TPublicationWalk::PageText(int pageIndex, int pageCount) const
{
    return PageTextOf(FJob, FEntries, pageIndex, pageCount, FFolders.LinkPath);
}

std::string MakePageText(const TPublishJob &job, const TEntryList &entries, int pageIndex)
{
    return PageTextOf(job, entries, pageIndex, entries.FPageCount, GetRelativeLinkPath(job.HtmlDir, job.MovieDir));
}

} // namespace kpx
