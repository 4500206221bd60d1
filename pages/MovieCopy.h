#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
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

// What the overwrite policy does with one target, decided before it is touched.
enum class TCopyAction
{
    Copy,         // the destination does not exist yet
    AskToReplace, // it exists; the user decides
    Replace,      // it exists; replaced without asking
    Skip,         // it exists and stays as it is
    KeepSameFile, // it is the source itself, which stays as it is
};

// The overwrite decision. The caller says what it finds at the destination,
// so that a dry run can count a file an earlier step of the run would create.
TCopyAction DecideCopy(TOverwritePolicy policy, bool destinationExists, bool destinationIsSource);

// True when both paths lead to one file (same device and inode).
bool IsSameFile(const std::filesystem::path &a, const std::filesystem::path &b);

// The overwrite decision applied to every movie and page.
TCopyResult CopyUnderPolicy(const std::filesystem::path &source, const std::filesystem::path &destination,
                            TOverwritePolicy policy, TUserPrompt &prompt, const TCopyProgress &progress = {});

// The same decision for a file the run made itself and no longer needs (a
// page's temporary file): it is renamed into place, which on one file system
// writes nothing twice, and copied when the rename cannot be done. A source
// that was not moved is still there afterwards.
TCopyResult MoveUnderPolicy(const std::filesystem::path &source, const std::filesystem::path &destination,
                            TOverwritePolicy policy, TUserPrompt &prompt);

// For the strictest policy: true when no movie or page of the run exists yet;
// otherwise warns about the first one found and returns false.
bool PreCheckTargets(const TEntryList &entries, const std::string &movieDir, const std::string &htmlDir,
                     const std::vector<std::string> &pageNames, TUserPrompt &prompt);

} // namespace kpx
