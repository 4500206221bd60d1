// The scan of the source folder into entries and their copy names. May touch: the file system (read only).
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pages/RecFileData.h"
#include "pages/RenamePattern.h"

namespace kpx {

// -1 blank, 1 single-byte characters only, 2 double-byte only, 0 mixed.
int GetCharWidthKind(std::string_view text);

struct TScanOptions
{
    bool LowerCase = true;                            // lower-case plain copy names
    std::string RenamePattern = DefaultRenamePattern; // for names that are not plain
    std::chrono::year_month_day Date;                 // the date the pattern formats
    // The run writes into the scanned folder too: a file of ours without
    // permission bits there is a copy an interrupted run left, no movie.
    bool FolderIsWritten = false;
};

// The copy name of a plain name: only single-byte characters, no half-width
// katakana and no control byte; lower-cased when asked. Nullopt for any other
// name, which needs a pattern name.
std::optional<std::string> PlainCopyName(std::string_view orgName, bool lowerCase);

// Gives each entry, in listing order, the name it is copied and linked under:
// its own name (lower-cased when asked) when the name is plain single-byte
// text, else the pattern, a serial of two or more digits and ".amc". Names are
// unique ignoring ASCII letter case, as the copies may land on a file system
// that ignores it: an entry whose copy name is exactly its own file name gets
// it first, then an entry the name `recorded` holds for it (an earlier run's
// copy; empty for none), then the other plain names in listing order; a name
// already given falls back to the pattern, whose serials skip every name given.
void AssignCopyNames(std::vector<TRecFileData> &entries, const TScanOptions &options,
                     const std::vector<std::string> &recorded = {});

// A name of the source folder that looks like a movie but is none: left out
// of the list, and named to the user.
struct TLeftOutEntry
{
    enum class TReason
    {
        DanglingLink,
        LoopingLink,
        Unreadable,
        Pipe,
        Socket,
        Device,
        Unfinished,       // a copy an interrupted run left incomplete
        CopyOfGoneMovie,  // a copy an earlier run made of a movie that is gone
    };
    std::string Name; // CP932
    TReason Reason = TReason::Unreadable;
};

// "name（reason）", CP932.
std::string DescribeLeftOut(const TLeftOutEntry &entry);

// The one message after a scan that left entries out, CP932; long lists end
// with a count of the rest.
std::string LeftOutMessage(const std::vector<TLeftOutEntry> &leftOut);

// Replaces `entries` with one record per *.amc regular file of `folder`
// (CP932, with a trailing delimiter; empty means the working folder), links
// followed; folders are passed over, and anything else named *.amc goes to
// `leftOut` when given, as does an unfinished copy of ours where the folder
// is written to (TScanOptions::FolderIsWritten). Entries come in the
// order a Windows folder listing gives them: by name, ASCII letters compared
// as upper case, everything else by UTF-16 code unit. A folder that is missing
// or holds no movie gives an empty list and true; an error while listing ends
// the scan with false and the records filled so far. `progress` hears the
// number of folder entries looked at after each one; when it answers false the
// scan ends with false and an empty list.
using TScanProgress = std::function<bool(std::size_t entriesSeen)>;
bool ScanSourceFolder(std::string_view folder, const TScanOptions &options, std::vector<TRecFileData> &entries,
                      const TScanProgress &progress = {}, std::vector<TLeftOutEntry> *leftOut = nullptr);

} // namespace kpx
