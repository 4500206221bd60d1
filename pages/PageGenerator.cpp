#include "pages/PageGenerator.h"

#include <algorithm>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace kpx {

namespace {

// A folder that is gone, is no folder, or is read-only would fail every later
// file in it with the same message.
bool FolderTakesFiles(const std::string &folder)
{
    struct stat folderStat = {};
    return ::stat(folder.c_str(), &folderStat) == 0 && S_ISDIR(folderStat.st_mode)
           && ::access(folder.c_str(), W_OK) == 0;
}

// The one rule for when a run ends early, all failures having been reported:
// at a page that could not be written, since the next page's footer would
// link it; at a movie only when its folder takes no more files. A movie that
// failed in a folder that still takes files is missing from the page, and
// the run goes on.
bool RunGoesOn(const TPublishTarget &target, TCopyResult result, const TRunFolders &folders)
{
    if (result != TCopyResult::Failed)
        return true;
    return target.Kind == TPublishTarget::TKind::Movie && FolderTakesFiles(folders.Movie);
}

// A folder the run writes into: its names as the run began (a name made by
// an earlier step is met when put in place) and the ways its file system
// offers.
struct TTargetFolder
{
    TTargetFolder(const std::string &path, const TPlacementWays &ways) : Names(path, true), Ways(ways) {}
    TRunKnowledge Knowledge(const TRunSources &sources) { return {&sources, &Names, &Ways}; }

    const TFolderNames Names;
    TPlacementWays Ways;
};

// One make-pages run: each target decided and done as the walk meets it, the
// observer told before and after each.
class TPublishRun
{
public:
    TPublishRun(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt, TPublishObserver *observer)
        : FJob(job)
        , FWalk(job, entries)
        , FSources(FWalk.Sources())
        , FMovieFolder(FWalk.Folders().Movie, job.Placement)
        , FPrompt(prompt)
        , FObserver(observer)
        , FBytesTotal(observer ? FWalk.BytesTotal() : 0)
    {
        if (FWalk.Folders().Html != FWalk.Folders().Movie)
            FHtmlFolderApart.emplace(FWalk.Folders().Html, job.Placement);
    }

    // False when the run ended early.
    bool Run()
    {
        return FWalk.Walk(
            [this](const TPublishTarget &movie) {
                return Starting(movie)
                       && Finished(movie, CopyUnderPolicy(movie.Source, movie.Destination, FJob.Policy, FPrompt,
                                                          Progress(movie), FMovieFolder.Knowledge(FSources)));
            },
            [this](const TPublishTarget &page, const std::string &text) {
                return Starting(page)
                       && Finished(page, WriteUnderPolicy(text, page.Destination, FJob.Policy, FPrompt,
                                                          HtmlFolder().Knowledge(FSources)));
            });
    }

private:
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

    bool Finished(const TPublishTarget &target, TCopyResult result)
    {
        FBytesDone += target.Bytes;
        if (FObserver)
            FObserver->FileDone(target, result);
        return RunGoesOn(target, result, FWalk.Folders());
    }

    const TPublishJob &FJob;
    const TPublicationWalk FWalk;
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

// A folder as the dry run sees it: its names as the plan starts, and the
// names an earlier step would have made there.
struct TPlannedFolder
{
    explicit TPlannedFolder(const std::string &path) : Names(path) {}

    const TFolderNames Names;
    std::unordered_set<std::string> Created;
};

} // namespace

bool MakeHtmlFiles(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt, TPublishObserver *observer)
{
    if (!PassesPreCheck(job, entries, prompt))
        return false;
    try {
        return TPublishRun(job, entries, prompt, observer).Run();
    } catch (const std::exception &error) {
        // Only what no step foresaw (memory running out): told, never a crash.
        prompt.Error(error.what());
        return false;
    }
}

bool PlanHtmlFiles(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt, const TPlanStep &step)
{
    if (!PassesPreCheck(job, entries, prompt))
        return false;
    const TPublicationWalk walk(job, entries);
    const TRunSources sources = walk.Sources();
    TPlannedFolder movieFolder(walk.Folders().Movie);
    std::optional<TPlannedFolder> htmlApart;
    if (walk.Folders().Html != walk.Folders().Movie)
        htmlApart.emplace(walk.Folders().Html);
    TPlannedFolder &htmlFolder = htmlApart ? *htmlApart : movieFolder;
    // `decideThere` decides from what is in the folder now.
    const auto plan = [&](const TPublishTarget &target, TPlannedFolder &folder, const auto &decideThere) {
        const bool made = folder.Created.count(target.Name) > 0;
        const TCopyAction action = made ? DecideCopy(job.Policy, TDestination::Other) : decideThere();
        if (action == TCopyAction::Copy)
            folder.Created.insert(target.Name);
        step({target, action});
        return true;
    };
    walk.Walk(
        [&](const TPublishTarget &movie) {
            return plan(movie, movieFolder, [&] {
                return DecideCopy(job.Policy, FindDestination(movie.Source, movie.Destination,
                                                              {&sources, &movieFolder.Names, nullptr}));
            });
        },
        [&](const TPublishTarget &page, const std::string &text) {
            return plan(page, htmlFolder, [&] {
                return DecideWrite(job.Policy, text, page.Destination, {&sources, &htmlFolder.Names, nullptr});
            });
        });
    return true;
}

} // namespace kpx
