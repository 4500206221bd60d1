// The make-pages run and its dry run. May touch: the file system, the user through TUserPrompt.
#pragma once

#include <cstdint>
#include <functional>

#include "pages/EntryList.h"
#include "pages/MovieCopy.h"
#include "pages/PublishPlan.h"
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
