// The make-pages run and its dry run. May touch: the file system, the user through TUserPrompt.
#pragma once

#include <cstdint>
#include <functional>

#include "pages/EntryList.h"
#include "pages/MovieCopy.h"
#include "pages/PublishPlan.h"
#include "pages/RunSummary.h"
#include "pages/UserPrompt.h"

namespace kpx {

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
    // Whether the byte totals told above matter: they cost building every
    // page once more before the run.
    virtual bool ShowsBytes() const { return true; }
};

// Copies every page's movies and writes every page, a page at a time: memory
// does not grow with the pages. The run holds its target folders for itself
// from its start (a second run is refused, told which folder is busy) and
// puts what it wrote on disk before it ends. It ends early when the strict
// policy refuses to run, the observer cancels, the user answers a question
// with Stop (TUserPrompt::StopRequested), or an error ends it, which the user
// has been told: a page that cannot be written, or a target folder that is
// gone or takes no files; the observer hears of the page that ended it as
// failed. A run that ends early writes its last page once more as the last
// of the series when the page after it is not there. Files already written
// stay; hidden files an interrupted run left in the target folders go.
TRunSummary MakeHtmlFiles(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt,
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
