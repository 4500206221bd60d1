// Copies an earlier run left in the source folder, known again by a scan, and their record. May touch: the file system (reads; writes only the record).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pages/AtomicFile.h"
#include "pages/EntryList.h"
#include "pages/EntryScan.h"
#include "pages/RecFileData.h"

namespace kpx {

// When the movie folder is the source folder, a run leaves there a copy of
// every movie it gave another name (lower-cased, or the pattern, which
// follows the date), and the next scan would list that copy as a movie of its
// own: the pages would grow with every run. So a run keeps a record of the
// copies it made there (CopyRecord), and the scan leaves out exactly the
// recorded copies: a movie still there is published under its copy's name
// again, a copy whose movie is gone is named once to the user, who may delete
// it. Nothing is deleted. Folders are CP932 with a trailing delimiter.

// Whether two folders are one, whatever names lead to them.
bool SameFolder(std::string_view a, std::string_view b);

// Scans the source folder of a publication (ScanSourceFolder) and applies
// what is known of the copies earlier runs left there (AdoptEarlierCopies).
bool ScanPublication(std::string_view sourceDir, std::string_view htmlDir, std::string_view movieDir,
                     TScanOptions options, std::vector<TRecFileData> &entries, const TScanProgress &progress = {},
                     std::vector<TLeftOutEntry> *leftOut = nullptr);

// `entries` are a scan of `sourceDir` with their copy names given under
// `options`. With a record, the recorded copies leave the list, their movies
// take their names, and a copy whose movie is gone goes to `leftOut` until it
// has been named once. A folder published before records were kept is read
// by its files: a file holding the same bytes as a movie that needs another
// name (the same size and modification time in whole seconds, then the same
// bytes), under a name the program could have given that movie (its
// lower-cased name, or the rename pattern's for any date), is that movie's
// copy. Of several such files a movie takes the first free one by the order
// their serials were given (shorter names first, then by name). `progress`
// hears the number of movies compared so far; when it answers false the list
// stays as it was and the result is false.
bool AdoptEarlierCopies(std::string_view sourceDir, std::string_view movieDir, const TScanOptions &options,
                        std::vector<TRecFileData> &entries, const TScanProgress &progress = {},
                        std::vector<TLeftOutEntry> *leftOut = nullptr);

// After a run whose movie folder is the source folder: records the copies
// the entries have there, with those of the earlier record that are still
// there, through a file that is whole or absent (TAtomicFile). No record is
// made where there was none and nothing is to be recorded. 0 or an errno.
int KeepCopyRecord(const TOpenFolder &folder, const TEntryList &entries, TPlacementWays &ways);

} // namespace kpx
