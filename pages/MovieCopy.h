#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <unordered_set>
#include <utility>
#include <vector>

#include "pages/AtomicFile.h"
#include "pages/RecFileData.h"
#include "pages/UserPrompt.h"

namespace kpx {

// Paths here are the file system's own bytes (UTF-8 on this platform), not
// code page 932: they are made once per file and used as they are.

// Index of the settings dialog's "同名ファイルがあった場合" choice.
enum class TOverwritePolicy
{
    Confirm = 0,     // ask before replacing
    Overwrite = 1,   // replace without asking
    Skip = 2,        // leave the existing file
    WarnAndStop = 3, // refuse the whole run when any target exists
    Update = 4,      // replace only what changed: a movie of another size or time, a page of other text
};

// Brings a stored index into range; anything unknown asks before replacing.
TOverwritePolicy OverwritePolicyFromIndex(int index);

enum class TCopyResult
{
    Copied,
    Declined, // the user said no to replacing
    Skipped,  // the policy left an existing file alone
    SameFile,  // source and destination are one file, which stays as it is
    Unchanged, // the destination already is what would be written, and stays as it is
    Failed,    // reported to the user already
};

// Copies one regular file, with the source's times and permission bits
// (never more readable than the source), as a file copy on Windows keeps
// them. Without overwriteSilently an existing destination is replaced only
// when the user agrees. A failure, or any end of the process meanwhile, never
// leaves a partial destination under its name (TAtomicFile). A source written
// to while it is copied is copied once more; a second change fails the copy.
// Failures are reported.
TCopyResult ShellCopyFile(const std::string &source, const std::string &destination, bool overwriteSilently,
                          TUserPrompt &prompt, const TCopyProgress &progress = {});

// The files a run copies from, known by device and inode: no copy may replace
// one of them, whatever name leads to it (a link, a folder reached twice, a
// file system that ignores letter case). `listFiles` names them; it is called,
// and they are looked up, only when first asked, since a run into empty
// folders never needs them.
class TRunSources
{
public:
    explicit TRunSources(std::function<std::vector<std::string>()> listFiles);
    bool Holds(dev_t device, ino_t inode) const;

private:
    std::function<std::vector<std::string>()> FListFiles;
    mutable std::vector<std::pair<dev_t, ino_t>> FIdentities; // sorted
    mutable bool FLookedUp = false;
};

// The names a target folder held as a run began, so that a name it did not
// hold needs no look of its own: a run into an empty folder touches it once,
// not once per file. Names compare folded, for folders that ignore letter
// case; a name with other than ASCII characters always counts as possible,
// as such a folder may fold those too. A name that appears later is met when
// the file is put in place, which never replaces what it was not told of.
class TFolderNames
{
public:
    // A run that writes into the folder also removes, while listing it, the
    // hidden files that interrupted runs of this program left there.
    explicit TFolderNames(const std::string &folder, bool removeLeftovers = false);
    bool MayHold(std::string_view name) const;

private:
    bool FListed = false;
    std::unordered_set<std::string> FNames;
};

// What a run knows beyond a destination's own name; any may be absent.
struct TRunKnowledge
{
    const TRunSources *Sources = nullptr;
    const TFolderNames *Names = nullptr; // of the destination's folder
    TPlacementWays *Ways = nullptr;      // of the destination's folder; absent: every way, learnt afresh
};

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

// Looks once at the destination, unless the folder's names say it is not
// there; `source` may be empty (a page).
TDestination FindDestination(const std::string &source, const std::string &destination, TRunKnowledge known = {});

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

// The overwrite decision. The caller says what it finds at the destination,
// so that a dry run can count a file an earlier step of the run would create.
TCopyAction DecideCopy(TOverwritePolicy policy, TDestination destination);

// The overwrite decision applied to a movie.
TCopyResult CopyUnderPolicy(const std::string &source, const std::string &destination, TOverwritePolicy policy,
                            TUserPrompt &prompt, const TCopyProgress &progress = {}, TRunKnowledge known = {});

// The decision for a file the run makes itself (a page) of these bytes: as
// DecideCopy, where under the update policy a file of the same bytes is
// current.
TCopyAction DecideWrite(TOverwritePolicy policy, std::string_view bytes, const std::string &destination,
                        TRunKnowledge known = {});

// The same decision for a file the run makes itself (a page): the bytes are
// written straight into the destination's folder, as a copy is made. Bytes
// that cannot be written at all throw TFileError, which ends the run; a
// destination that cannot take them is reported.
TCopyResult WriteUnderPolicy(std::string_view bytes, const std::string &destination, TOverwritePolicy policy,
                             TUserPrompt &prompt, TRunKnowledge known = {});

// For the strictest policy: true when no movie or page of the run exists yet
// (an unfinished one does not count); otherwise warns about the first one
// found and returns false.
bool PreCheckTargets(const TEntryList &entries, const std::string &movieDir, const std::string &htmlDir,
                     const std::vector<std::string> &pageNames, TUserPrompt &prompt);

} // namespace kpx
