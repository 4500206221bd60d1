#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/MovieCopy.h"
#include "pages/RecFileData.h"
#include "pages/UserPrompt.h"

namespace kpx {

// Page n of a series: base + ".html" for page 1, base + n in two or more
// digits + ".html" after it; base is the html file name without extension.
std::string PageFileName(std::string_view htmlFileName, int pageNumber);

// The page names of a whole series, page 1 first.
std::vector<std::string> PageFileNames(std::string_view htmlFileName, int pageCount);

struct TPageTemplates
{
    std::string Header;                 // "%i" is the page number
    std::array<std::string, 3> Footers; // first, middle, last page; "%p" previous, "%n" next page
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

// The download markup of one movie, ending with an empty line.
std::string MakeMovieBlock(const TRecFileData &entry, std::string_view linkPath);

// The text of page r (0-based) of the series, movies not copied.
std::string MakePageText(const TPublishJob &job, const TEntryList &entries, int pageIndex);

// One file a make-pages run puts into a target folder.
struct TPublishTarget
{
    enum class TKind
    {
        Movie,
        Page,
    };
    TKind Kind = TKind::Movie;
    int PageIndex = 0;                 // the page it belongs to, from 0
    std::string Name;         // CP932: the copy name or the page name
    std::string Source;       // the movie as the file system names it; empty for a page
    std::string Destination;  // as the file system names it
    std::uintmax_t Bytes = 0; // the movie's listed size, or the page text's
};

// Told about every target before and after the run handles it, in run order:
// the movies of a page, then the page itself.
class TPublishObserver
{
public:
    virtual ~TPublishObserver() = default;
    // bytesDone sums the listed sizes of the targets before this one; bytesTotal those of the whole run.
    virtual void FileStarting(const TPublishTarget &, std::uintmax_t /*bytesDone*/, std::uintmax_t /*bytesTotal*/) {}
    // While a movie is copied, every CopyChunkBytes: bytesDone counts its part copied so far.
    virtual void FileProgress(const TPublishTarget &, std::uintmax_t /*bytesDone*/, std::uintmax_t /*bytesTotal*/) {}
    virtual void FileDone(const TPublishTarget &target, TCopyResult result) = 0;
    // Asked before each target: true ends the run there, without a message.
    virtual bool Cancelled() { return false; }
};

// Copies every page's movies and writes every page, a page at a time: memory
// does not grow with the pages. True when all pages were processed; false
// when the strict policy refused to run, the observer cancelled, the user
// answered a question with Stop (TUserPrompt::StopRequested), or an error
// ended the run, which the user has been told. A page that cannot be written,
// or a target folder that is gone or takes no files, ends the run; the
// observer hears of the page that ended it as failed. Files already written
// stay; hidden files an interrupted run left in the target folders go.
bool MakeHtmlFiles(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt,
                   TPublishObserver *observer = nullptr);

struct TPlannedCopy
{
    TPublishTarget Target;
    TCopyAction Action;
};

// What MakeHtmlFiles would do, touching nothing: the same pre-check, the same
// targets in the same order and the same overwrite decisions, where a file an
// earlier step would create counts as existing. Each step is told as soon as
// it is planned. False when the pre-check would refuse, which the user has
// been told.
using TPlanStep = std::function<void(const TPlannedCopy &)>;
bool PlanHtmlFiles(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt, const TPlanStep &step);

} // namespace kpx
