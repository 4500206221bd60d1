// One movie copied or one page written under the policy. May touch: the file system, the user (TUserPrompt).
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
#include "pages/Destination.h"
#include "pages/EntryList.h"
#include "pages/FileErrors.h"
#include "pages/OverwritePolicy.h"
#include "pages/UserPrompt.h"

namespace kpx {

// Names here are the file system's own bytes (UTF-8 on this platform), not
// code page 932: they are made once per file and used as they are.

enum class TCopyResult
{
    Copied,
    Declined,  // the user said no to replacing
    Skipped,   // the policy left an existing file alone
    SameFile,  // source and destination are one file, which stays as it is
    Unchanged, // the destination already is what would be written, and stays as it is
    Failed,    // TFileOutcome::Failure says what failed
};

// What became of one file: the result and, for a file the run made, the
// permission bits it got; for a failure, what failed, for the caller to tell.
struct TFileOutcome
{
    TCopyResult Result = TCopyResult::Failed;
    mode_t Mode = 0;
    TFileFailure Failure;
};

// Copies one regular file, with the source's times and permission bits
// (never more readable than the source), as a file copy on Windows keeps
// them. Without overwriteSilently an existing destination is replaced only
// when the user agrees. A failure, or any end of the process meanwhile, never
// leaves a partial destination under its name (TAtomicFile). A source written
// to while it is copied is copied once more; a second change fails the copy.
// Failures are told to the user here, as the copy of a desktop shell does.
TFileOutcome ShellCopyFile(const std::string &source, const std::string &destination, bool overwriteSilently,
                           TUserPrompt &prompt, const TCopyProgress &progress = {});

// The overwrite decision applied to a movie.
TFileOutcome CopyUnderPolicy(const TMovieSource &source, const TPlace &destination, TOverwritePolicy policy,
                             TUserPrompt &prompt, const TCopyProgress &progress = {}, TRunKnowledge known = {});

// The same decision for a file the run makes itself (a page): the bytes are
// written straight into the destination's folder, as a copy is made. A page
// that cannot be made, filled or put in place is Failed.
TFileOutcome WriteUnderPolicy(std::string_view bytes, const TPlace &destination, TOverwritePolicy policy,
                              TUserPrompt &prompt, TRunKnowledge known = {});

// For the strictest policy: true when no movie or page of the run exists yet
// (an unfinished one does not count); otherwise warns about the first one
// found and returns false.
bool PreCheckTargets(const TEntryList &entries, const TOpenFolder &movies, const TOpenFolder &html,
                     const std::vector<std::string> &pageNames, TUserPrompt &prompt);

} // namespace kpx
