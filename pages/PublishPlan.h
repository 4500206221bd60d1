// A run's settings and the one walk over its targets. May touch: nothing itself; the visits it calls do.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pages/AtomicFile.h"
#include "pages/Destination.h"
#include "pages/EntryList.h"
#include "pages/EntryScan.h"
#include "pages/OverwritePolicy.h"
#include "pages/PageText.h"

namespace kpx {

// The html file name the main window's name box shows at every start.
inline constexpr char DefaultHtmlFileName[] = "ezmovie.html";

// What a publication takes from the settings, as the desktop program holds
// them and kpx_publish reads them. Strings are CP932; a folder ends with a
// delimiter, or is empty when nothing names it.
struct TPublishSettings
{
    std::string SourceDir;
    std::string HtmlDir;
    std::string MovieDir;
    std::string HtmlFileName = DefaultHtmlFileName;
    int PageItemCount = 0;
    TPageTemplates Templates;
    TScanOptions Scan;
    TOverwritePolicy Policy = TOverwritePolicy::Confirm;
};

// Everything one make-pages run reads. Strings are CP932; folders end with a delimiter.
struct TPublishJob
{
    std::string SourceDir;
    std::string HtmlDir;
    std::string MovieDir;
    std::string HtmlFileName;
    std::vector<std::string> PageNames; // fixed when the page settings were last built
    TPageTemplates Templates;
    TOverwritePolicy Policy = TOverwritePolicy::Confirm;
    // The ways files may be put in place; each target folder drops those its
    // file system turns down.
    TPlacementWays Placement;
};

// The one assembly of a run from the settings, with the page names of the
// last build of the page settings.
TPublishJob MakePublishJob(const TPublishSettings &settings, std::vector<std::string> pageNames);

// The name page `pageIndex` (from 0) is written under: the one the last build
// gave it, the naming rule standing in for a missing one.
std::string PageName(const TPublishJob &job, int pageIndex);
// The same name as the file system spells it.
std::string NativePageName(const TPublishJob &job, int pageIndex);

// One file a make-pages run puts into a target folder.
struct TPublishTarget
{
    enum class TKind
    {
        Movie,
        Page,
    };
    TKind Kind = TKind::Movie;
    int PageIndex = 0;                   // the page it belongs to, from 0
    std::string Name;                    // CP932: the copy name or the page name
    const TRecFileData *Movie = nullptr; // the movie copied; none for a page
    std::string FileName;                // in its target folder, as the file system names it
    std::string Destination;             // the whole path, for what the user is told
    std::uintmax_t Bytes = 0;            // the movie's listed size, or the page text's
};

// Where a run's files come from and go, as the file system spells them,
// converted once for the whole run.
struct TRunFolders
{
    explicit TRunFolders(const TPublishJob &job);

    std::string Source, Html, Movie;
    std::string LinkPath; // from the html folder to the movie folder
};

// The one walk over a publication, page by page: the page's movies, then the
// page with its text. The run and the dry run both go this way, so they meet
// the same targets in the same order. Nothing is held for later pages.
class TPublicationWalk
{
public:
    TPublicationWalk(const TPublishJob &job, const TEntryList &entries);

    const TRunFolders &Folders() const { return FFolders; }

    // Each visit answers whether the walk goes on; false when one stopped it.
    using TMovieVisit = std::function<bool(const TPublishTarget &movie)>;
    using TPageVisit = std::function<bool(const TPublishTarget &page, const std::string &text)>;
    bool Walk(const TMovieVisit &movie, const TPageVisit &page) const;

    // Every file the run copies from, in `sourceFolder`, for the rare
    // question whether a destination is one of them.
    TRunSources Sources(const TOpenFolder &sourceFolder) const;
    // The listed bytes of every movie and page of the run.
    std::uintmax_t BytesTotal() const;
    // Page `pageIndex` as it reads when it is the last page: for a run that
    // ends there, so that its footer links no page never made.
    TPublishTarget PageAsLast(int pageIndex, std::string &text) const;
    // The text the walk hands over with page `pageIndex`; several threads may
    // ask at once.
    std::string PageText(int pageIndex) const;

private:
    TPublishTarget MovieTarget(int entryIndex, int pageIndex) const;
    TPublishTarget PageTarget(int pageIndex, std::uintmax_t bytes) const;
    TPublishTarget Target(TPublishTarget::TKind kind, int pageIndex, std::string name, const std::string &folder,
                          std::uintmax_t bytes) const;
    std::string PageText(int pageIndex, int pageCount) const;

    const TPublishJob &FJob;
    const TEntryList &FEntries;
    const TRunFolders FFolders;
};

// The text of page r (0-based) of the series, exactly as the run writes it.
std::string MakePageText(const TPublishJob &job, const TEntryList &entries, int pageIndex);

} // namespace kpx
