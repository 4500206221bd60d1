#include "pages/PageGenerator.h"

#include <algorithm>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <new>
#include <unordered_set>

#include "pages/CopyRecord.h"
#include "pages/EarlierCopies.h"
#include "pages/FileErrors.h"
#include "pages/FileLook.h"
#include "pages/OpenFolder.h"
#include "pages/ShareOut.h"
#include "pages/WrittenFolders.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

// The folders of one run, each opened once: the source, the movie folder and
// the html folder, which may be the movie folder.
class TRunFolderSet
{
public:
    explicit TRunFolderSet(const TRunFolders &paths) : Source(paths.Source), Movies(paths.Movie)
    {
        if (paths.Html != paths.Movie)
            FHtmlApart.emplace(paths.Html);
    }
    const TOpenFolder &Html() const { return FHtmlApart ? *FHtmlApart : Movies; }

    const TOpenFolder Source;
    const TOpenFolder Movies;

private:
    std::optional<TOpenFolder> FHtmlApart;
};

// A folder that is gone, is no folder, or is read-only would fail every later
// file in it with the same message.
bool FolderTakesFiles(const TOpenFolder &folder)
{
    struct stat folderStat = {};
    return folder.Fd() >= 0 && ::fstat(folder.Fd(), &folderStat) == 0 && folderStat.st_nlink > 0
           && ::faccessat(folder.Fd(), ".", W_OK, 0) == 0;
}

// The one rule for when a run ends early, all failures having been reported:
// at a page that could not be written, since the next page's footer would
// link it; at a movie only when its folder takes no more files. A movie that
// failed in a folder that still takes files is missing from the page, and
// the run goes on.
bool RunGoesOn(const TPublishTarget &target, TCopyResult result, const TOpenFolder &movies)
{
    if (result != TCopyResult::Failed)
        return true;
    return target.Kind == TPublishTarget::TKind::Movie && FolderTakesFiles(movies);
}

TMovieSource SourceOf(const TPublishTarget &movie, const TOpenFolder &folder, const std::string &name)
{
    return {folder, name, movie.Bytes, movie.Movie->Seen};
}

// A folder the run writes into: its names as the run began (a name made by
// an earlier step is met when put in place) and the ways its file system
// offers.
struct TTargetFolder
{
    TTargetFolder(const TOpenFolder &folder, const TPlacementWays &ways) : Folder(folder), Names(folder, true), Ways(ways)
    {}
    TRunKnowledge Knowledge(const TRunSources &sources) { return {&sources, &Names, &Ways}; }

    const TOpenFolder &Folder;
    const TFolderNames Names;
    TPlacementWays Ways;
};

// What is at each name a run writes as it starts, for its decisions: the
// names the folders hold are looked at together, on the threads that pay, so
// that a republication of unchanged movies waits on the disk far less. A name
// that appears later is met when its file is put in place.
struct TTargetLooks
{
    std::vector<TFileLook> Copies; // by entry
    std::vector<TFileLook> Pages;  // by page
    // By page, under the update policy: whether it held its text when looked at.
    std::vector<char> PagesHeld;

    const TFileLook *Copy(const TEntryList &entries, const TPublishTarget &movie) const
    {
        return &Copies[static_cast<size_t>(movie.Movie - entries.FEntries.data())];
    }
    const TFileLook *Page(const TPublishTarget &page) const { return &Pages[static_cast<size_t>(page.PageIndex)]; }
    std::optional<bool> PageHeld(const TPublishTarget &page) const
    {
        if (PagesHeld.empty())
            return std::nullopt;
        return PagesHeld[static_cast<size_t>(page.PageIndex)] != 0;
    }
};

std::vector<TFileLook> LookAtNames(const TOpenFolder &folder, const TFolderNames &held, int count,
                                   const std::function<std::string(int)> &nameOf)
{
    std::vector<std::string> names(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        if (std::string name = nameOf(i); held.MayHold(name))
            names[static_cast<size_t>(i)] = std::move(name);
    return LookAtAll(folder.Fd(), names);
}

// Under the update policy every page there is compared with its text as the
// names are looked at, on the threads that pay, not one by one in the walk.
// The walk builds each text once more: holding them all until then would
// cost more memory than building them twice costs time.
std::vector<char> PagesHoldingTheirText(const TPublishJob &job, const TPublicationWalk &walk, const TOpenFolder &html,
                                        const std::vector<TFileLook> &pages)
{
    std::vector<char> held(pages.size());
    ShareOut(pages.size(), [&](size_t first, size_t end) {
        for (size_t r = first; r < end; ++r) {
            if (!pages[r].Seen() || !S_ISREG(pages[r].Mode))
                continue;
            const int pageIndex = static_cast<int>(r);
            const std::string name = NativePageName(job, pageIndex);
            held[r] = HoldsBytes({html, name}, pages[r].AsStat(), walk.PageText(pageIndex));
        }
    });
    return held;
}

TTargetLooks LookAtTargets(const TPublishJob &job, const TPublicationWalk &walk, const TEntryList &entries,
                           const TOpenFolder &movies, const TFolderNames &movieNames, const TOpenFolder &html,
                           const TFolderNames &htmlNames)
{
    TTargetLooks looks{LookAtNames(movies, movieNames, PublishedCount(entries),
                                   [&](int k) {
                                       return Cp932ToNativeName(entries.FEntries[static_cast<size_t>(k)].CopyName);
                                   }),
                       LookAtNames(html, htmlNames, entries.FPageCount,
                                   [&](int r) { return NativePageName(job, r); }),
                       {}};
    if (job.Policy == TOverwritePolicy::Update)
        looks.PagesHeld = PagesHoldingTheirText(job, walk, html, looks.Pages);
    return looks;
}

// One make-pages run: each target decided and done as the walk meets it, the
// observer told before and after each, the summary kept.
class TPublishRun
{
public:
    TPublishRun(const TPublishJob &job, const TEntryList &entries, const TRunFolderSet &folders, TUserPrompt &prompt,
                TPublishObserver *observer, TRunSummary &summary)
        : FJob(job)
        , FEntries(entries)
        , FWalk(job, entries)
        , FFolders(folders)
        , FSources(FWalk.Sources(folders.Source))
        , FMovieFolder(folders.Movies, PlacementFor(job))
        , FPrompt(prompt)
        , FObserver(observer)
        , FSummary(summary)
        , FBytesTotal(observer && observer->ShowsBytes() ? FWalk.BytesTotal() : 0)
    {
        if (!folders.Html().Is(folders.Movies))
            FHtmlFolderApart.emplace(folders.Html(), PlacementFor(job));
        FLooks = LookAtTargets(job, FWalk, entries, folders.Movies, FMovieFolder.Names, HtmlFolder().Folder,
                               HtmlFolder().Names);
    }

    void Run()
    {
        const bool complete = FWalk.Walk(
            [this](const TPublishTarget &movie) {
                const std::string name = NativeFileName(*movie.Movie);
                TRunKnowledge known = FMovieFolder.Knowledge(FSources);
                known.Look = FLooks.Copy(FEntries, movie);
                return Starting(movie)
                       && Finished(movie, CopyUnderPolicy(SourceOf(movie, FFolders.Source, name),
                                                          {FMovieFolder.Folder, movie.FileName}, FJob.Policy, FPrompt,
                                                          Progress(movie), known));
            },
            [this](const TPublishTarget &page, const std::string &text) {
                TRunKnowledge known = HtmlFolder().Knowledge(FSources);
                known.Look = FLooks.Page(page);
                known.HeldBytes = FLooks.PageHeld(page);
                return Starting(page)
                       && Finished(page, WriteUnderPolicy(text, {HtmlFolder().Folder, page.FileName}, FJob.Policy,
                                                          FPrompt, known));
            });
        KeepCopyRecordWhereMoviesAre();
        if (complete)
            return;
        FSummary.End = FEnd;
        const int firstUnmade = FFailedPage >= 0 ? FFailedPage : FPagesHandled;
        if (firstUnmade < FSummary.PageCount) {
            FSummary.FirstUnmadePage = PageName(FJob, firstUnmade);
            FSummary.LastPage = PageName(FJob, FSummary.PageCount - 1);
        }
        CloseSeriesEarly();
    }

private:
    // Where the kernel cannot write out a whole file system at the end, each
    // file is written out before it takes its name.
    static TPlacementWays PlacementFor(const TPublishJob &job)
    {
        TPlacementWays ways = job.Placement;
        ways.SyncEachFile = ways.SyncEachFile || !TWrittenFolders::WholeFileSystemSyncOffered();
        return ways;
    }

    TTargetFolder &HtmlFolder() { return FHtmlFolderApart ? *FHtmlFolderApart : FMovieFolder; }

    bool Starting(const TPublishTarget &target)
    {
        if (FPrompt.StopRequested()) {
            FEnd = TRunEnd::Stopped; // the user's answer to a question; no more to tell
            return false;
        }
        if (!FObserver)
            return true;
        if (FObserver->Cancelled()) {
            FEnd = TRunEnd::Cancelled;
            return false;
        }
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

    bool Finished(const TPublishTarget &target, const TFileOutcome &outcome)
    {
        if (outcome.Result == TCopyResult::Failed)
            FPrompt.Error(FailureText(outcome.Failure));
        FBytesDone += target.Bytes;
        FSummary.Count(target, outcome);
        if (target.Kind == TPublishTarget::TKind::Page) {
            ++FPagesHandled;
            if (outcome.Result == TCopyResult::Copied || outcome.Result == TCopyResult::Unchanged)
                FLastInPlace = target.PageIndex;
            else if (outcome.Result == TCopyResult::Failed)
                FFailedPage = target.PageIndex;
        }
        if (FObserver)
            FObserver->FileDone(target, outcome.Result);
        if (RunGoesOn(target, outcome.Result, FFolders.Movies))
            return true;
        FEnd = TRunEnd::Failed;
        return false;
    }

    // The last page the run left as it makes it links the next one, which
    // the run never made: unless an earlier run left a page there, it is
    // written once more as the last page of a series that ends with it.
    void CloseSeriesEarly()
    {
        if (FLastInPlace < 0 || FLastInPlace + 1 >= FSummary.PageCount)
            return;
        std::string text;
        const TPublishTarget last = FWalk.PageAsLast(FLastInPlace, text);
        const std::string next = NativePageName(FJob, FLastInPlace + 1);
        const int html = HtmlFolder().Folder.Fd();
        struct stat info = {};
        if ((::fstatat(html, next.c_str(), &info, 0) == 0 && S_ISREG(info.st_mode))
            || ::fstatat(html, last.FileName.c_str(), &info, 0) != 0)
            return; // a page there for the link, or the last page itself gone with its folder
        const TFileOutcome outcome = WriteUnderPolicy(text, {HtmlFolder().Folder, last.FileName},
                                                      TOverwritePolicy::Overwrite, FPrompt,
                                                      HtmlFolder().Knowledge(FSources));
        if (outcome.Result == TCopyResult::Copied)
            FSummary.MendedPage = last.Name;
        else if (outcome.Result == TCopyResult::Failed)
            FPrompt.Error(FailureText(outcome.Failure));
    }

    // Copies made beside their movies are recorded there, so that the next
    // scan does not take them for movies.
    void KeepCopyRecordWhereMoviesAre()
    {
        if (!FFolders.Source.Is(FFolders.Movies))
            return;
        if (const int error = KeepCopyRecord(FFolders.Movies, FEntries, FMovieFolder.Ways)) {
            FPrompt.Error(FailureText({TFileStep::Write, error, FFolders.Movies.PathOf(CopyRecordName)}));
            FSummary.RecordFailed = true;
        }
    }

    const TPublishJob &FJob;
    const TEntryList &FEntries;
    const TPublicationWalk FWalk;
    const TRunFolderSet &FFolders;
    const TRunSources FSources;
    TTargetFolder FMovieFolder;
    std::optional<TTargetFolder> FHtmlFolderApart;
    TUserPrompt &FPrompt;
    TPublishObserver *FObserver;
    TRunSummary &FSummary;
    std::uintmax_t FBytesTotal;
    std::uintmax_t FBytesDone = 0;
    TRunEnd FEnd = TRunEnd::Failed;
    int FPagesHandled = 0;
    int FFailedPage = -1;
    int FLastInPlace = -1; // the last page in place as this run makes it
    TTargetLooks FLooks;
};

bool PassesPreCheck(const TPublishJob &job, const TEntryList &entries, const TRunFolderSet &folders,
                    TUserPrompt &prompt)
{
    return job.Policy != TOverwritePolicy::WarnAndStop
           || PreCheckTargets(entries, folders.Movies, folders.Html(), job.PageNames, prompt);
}

// A folder as the dry run sees it: its names as the plan starts, and the
// names an earlier step would have made there.
struct TPlannedFolder
{
    explicit TPlannedFolder(const TOpenFolder &folder) : Folder(folder), Names(folder) {}

    const TOpenFolder &Folder;
    const TFolderNames Names;
    std::unordered_set<std::string> Created;
};

std::string BusyFolderMessage(const TRunFolderSet &folders, const TOpenFolder &busy)
{
    return Sjis(&busy == &folders.Movies ? "ezmovie" : "html") + Sjis("ディレクトリ「") + DisplayPath(busy.Path())
           + Sjis("」では別のhtmlファイル作成が実行中です。") + "\r\n" + Sjis("終わってからもう一度実行してください。");
}

} // namespace

TRunSummary MakeHtmlFiles(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt,
                          TPublishObserver *observer)
{
    TRunSummary summary;
    summary.PageCount = entries.FPageCount;
    summary.End = TRunEnd::Refused;
    const TRunFolderSet folders{TRunFolders(job)};
    // Held before the pre-check and the first question, until the run's end.
    const TWrittenFolders written({&folders.Movies, &folders.Html()});
    if (written.Busy()) {
        prompt.Warning(BusyFolderMessage(folders, *written.Busy()));
        return summary;
    }
    if (!PassesPreCheck(job, entries, folders, prompt))
        return summary;
    summary.End = TRunEnd::Complete;
    try {
        TPublishRun(job, entries, folders, prompt, observer, summary).Run();
    } catch (const std::bad_alloc &) {
        // Only what no step foresaw: told in words of our own, never a crash.
        prompt.Error(Sjis("メモリが足りないため、htmlファイルの作成を途中で終了しました。"));
        summary.End = TRunEnd::Failed;
    } catch (const std::exception &) {
        prompt.Error(Sjis("予期しないエラーのため、htmlファイルの作成を途中で終了しました。"));
        summary.End = TRunEnd::Failed;
    }
    std::string failedFolder;
    if (TWrittenFolders::WholeFileSystemSyncOffered())
        if (const int error = written.Sync(failedFolder)) {
            prompt.Error(FailureText({TFileStep::WriteOut, error, failedFolder}));
            summary.SyncFailed = true;
        }
    return summary;
}

bool PlanHtmlFiles(const TPublishJob &job, const TEntryList &entries, TUserPrompt &prompt, const TPlanStep &step)
{
    const TRunFolderSet folders{TRunFolders(job)};
    if (!PassesPreCheck(job, entries, folders, prompt))
        return false;
    const TPublicationWalk walk(job, entries);
    const TRunSources sources = walk.Sources(folders.Source);
    TPlannedFolder movieFolder(folders.Movies);
    std::optional<TPlannedFolder> htmlApart;
    if (!folders.Html().Is(folders.Movies))
        htmlApart.emplace(folders.Html());
    TPlannedFolder &htmlFolder = htmlApart ? *htmlApart : movieFolder;
    const TTargetLooks looks =
        LookAtTargets(job, walk, entries, movieFolder.Folder, movieFolder.Names, htmlFolder.Folder, htmlFolder.Names);
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
                const std::string name = NativeFileName(*movie.Movie);
                return DecideCopy(job.Policy, FindDestination(SourceOf(movie, folders.Source, name),
                                                              {movieFolder.Folder, movie.FileName},
                                                              {&sources, &movieFolder.Names, nullptr,
                                                               looks.Copy(entries, movie)}));
            });
        },
        [&](const TPublishTarget &page, const std::string &text) {
            return plan(page, htmlFolder, [&] {
                return DecideWrite(job.Policy, text, {htmlFolder.Folder, page.FileName},
                                   {&sources, &htmlFolder.Names, nullptr, looks.Page(page), looks.PageHeld(page)});
            });
        });
    return true;
}

} // namespace kpx
