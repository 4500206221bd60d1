// The overwrite policies and the decision for one target. May touch: nothing (pure).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "pages/EntryList.h"

namespace kpx {

// Index of the settings dialog's "同名ファイルがあった場合" choice.
enum class TOverwritePolicy
{
    Confirm = 0,     // ask before replacing
    Overwrite = 1,   // replace without asking
    Skip = 2,        // leave the existing file
    WarnAndStop = 3, // refuse the whole run when any target exists
    Update = 4,      // replace only what changed: a movie of another size or time, a page of other text
};

// The indexes a choice is stored under: one per policy, first to last.
inline constexpr int FirstOverwriteIndex = static_cast<int>(TOverwritePolicy::Confirm);
inline constexpr int LastOverwriteIndex = static_cast<int>(TOverwritePolicy::Update);

// Brings a stored index into range; anything unknown asks before replacing.
TOverwritePolicy OverwritePolicyFromIndex(int index);

// What a copy finds at its destination.
enum class TDestination
{
    Missing,
    Other,
    Current,       // a copy of the source as it is: the same size and modification time
    TheSource,     // the file being copied, under this or another name
    AnotherSource, // a file another entry of the run is copied from
    Unfinished,    // left incomplete by an interrupted run: replaced under every policy
};

// What the overwrite policy does with one target, decided before it is touched.
enum class TCopyAction
{
    Copy,         // the destination does not exist yet
    AskToReplace, // it exists; the user decides
    Replace,      // it exists; replaced without asking
    Skip,         // it exists and stays as it is
    KeepSameFile, // it is the source itself, which stays as it is
    KeepSource,   // it is another entry's source: not replaced, reported as a failure
    KeepCurrent,  // it already is what would be written, and stays as it is
};

// The overwrite decision, one table for every policy (rows: what the
// destination holds; a Missing destination is always copied, an Unfinished
// one always replaced):
//
//   destination    Confirm       Overwrite     Skip  WarnAndStop  Update
//   Other          AskToReplace  Replace       Skip  Skip         Replace
//   Current        AskToReplace  Replace       Skip  Skip         KeepCurrent
//   TheSource      KeepSameFile  KeepSameFile  Skip  Skip         KeepSameFile
//   AnotherSource  KeepSource    KeepSource    Skip  Skip         KeepSource
//
// The caller says what it finds at the destination, so that a dry run can
// count a file an earlier step of the run would create.
TCopyAction DecideCopy(TOverwritePolicy policy, TDestination destination);

// The first target of a run that exists already, for the strictest policy.
struct TTargetConflict
{
    bool InMovieFolder = true; // else in the html folder
    std::string Name;          // CP932
};

// Looks at the movies in list order, then at the pages; each `exists` is
// told a CP932 name in its folder and answers whether a file the run would
// not replace anyway is there.
std::optional<TTargetConflict> FindFirstConflict(const TEntryList &entries, const std::vector<std::string> &pageNames,
                                                 const std::function<bool(const std::string &)> &movieExists,
                                                 const std::function<bool(const std::string &)> &pageExists);

} // namespace kpx
