#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

#include "pages/RecFileData.h"
#include "pages/UserPrompt.h"

namespace kpx {

// Index of the settings dialog's "同名ファイルがあった場合" choice.
enum class TOverwritePolicy
{
    Confirm = 0,     // ask before replacing
    Overwrite = 1,   // replace without asking
    Skip = 2,        // leave the existing file
    WarnAndStop = 3, // refuse the whole run when any target exists
};

// Brings a stored index into range; anything unknown asks before replacing.
TOverwritePolicy OverwritePolicyFromIndex(int index);

enum class TCopyResult
{
    Copied,
    Declined, // the user said no to replacing
    Skipped,  // the policy left an existing file alone
    SameFile, // source and destination are one file, which stays as it is
    Failed,   // reported to the user already
};

// Told the bytes copied so far, every CopyChunkBytes and at the end.
using TCopyProgress = std::function<void(std::uintmax_t bytesCopied)>;
constexpr std::uintmax_t CopyChunkBytes = 1 << 20;

// Copies one file. Without overwriteSilently an existing destination is
// replaced only when the user agrees. The copy lands under a temporary name
// beside the destination and is renamed over it when complete, so a failure
// never leaves a truncated destination; failures are reported to the user.
TCopyResult ShellCopyFile(const std::filesystem::path &source, const std::filesystem::path &destination,
                          bool overwriteSilently, TUserPrompt &prompt, const TCopyProgress &progress = {});

// The files a run copies from, known by device and inode: no copy may replace
// one of them, whatever name leads to it (a link, a folder reached twice, a
// file system that ignores letter case). Looked up only when first asked,
// since a run into empty folders never needs them.
class TRunSources
{
public:
    explicit TRunSources(std::vector<std::filesystem::path> files);
    bool Holds(dev_t device, ino_t inode) const;

private:
    std::vector<std::filesystem::path> FFiles;
    mutable std::set<std::pair<dev_t, ino_t>> FIdentities;
    mutable bool FLookedUp = false;
};

// What a copy finds at its destination.
enum class TDestination
{
    Missing,
    Other,
    TheSource,     // the file being copied, under this or another name
    AnotherSource, // a file another entry of the run is copied from
};

// Looks once at the destination; `sources` may be null.
TDestination FindDestination(const std::filesystem::path &source, const std::filesystem::path &destination,
                             const TRunSources *sources);

// What the overwrite policy does with one target, decided before it is touched.
enum class TCopyAction
{
    Copy,         // the destination does not exist yet
    AskToReplace, // it exists; the user decides
    Replace,      // it exists; replaced without asking
    Skip,         // it exists and stays as it is
    KeepSameFile, // it is the source itself, which stays as it is
    KeepSource,   // it is another entry's source: not replaced, reported as a failure
};

// The overwrite decision. The caller says what it finds at the destination,
// so that a dry run can count a file an earlier step of the run would create.
TCopyAction DecideCopy(TOverwritePolicy policy, TDestination destination);

// The overwrite decision applied to every movie and page.
TCopyResult CopyUnderPolicy(const std::filesystem::path &source, const std::filesystem::path &destination,
                            TOverwritePolicy policy, TUserPrompt &prompt, const TCopyProgress &progress = {},
                            const TRunSources *sources = nullptr);

// The same decision for a file the run made itself and no longer needs (a
// page's temporary file): it is renamed into place, which on one file system
// writes nothing twice, and copied when the rename cannot be done. A source
// that was not moved is still there afterwards.
TCopyResult MoveUnderPolicy(const std::filesystem::path &source, const std::filesystem::path &destination,
                            TOverwritePolicy policy, TUserPrompt &prompt, const TRunSources *sources = nullptr);

// For the strictest policy: true when no movie or page of the run exists yet;
// otherwise warns about the first one found and returns false.
bool PreCheckTargets(const TEntryList &entries, const std::string &movieDir, const std::string &htmlDir,
                     const std::vector<std::string> &pageNames, TUserPrompt &prompt);

} // namespace kpx
