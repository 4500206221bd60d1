// Copies an earlier run left in the source folder, known again by a scan. May touch: the file system (read only).
#pragma once

#include <string_view>
#include <vector>

#include "pages/EntryScan.h"
#include "pages/RecFileData.h"

namespace kpx {

// When the movie folder is the source folder, a run leaves there a copy of
// every movie it gave a pattern name, and the next scan would list that copy
// as a movie of its own while the pattern, which follows the date, names the
// original anew: the pages would grow with every run. A file of the folder
// holding the same bytes as a pattern-named movie (the same size and
// modification time in whole seconds, then the same bytes) is that movie's
// copy from an earlier run: it leaves the list, and the movie is published
// under its name, so a rerun gives the same pages whatever the day. Nothing
// is deleted. Of several such files a movie takes the first free one by the
// order its serials were given (shorter names first, then by name).
//
// `entries` are a scan of `sourceDir` with their copy names given under
// `options`; the folders are CP932 with a trailing delimiter. `progress`
// hears the number of movies compared so far; when it answers false the list
// stays as it was and the result is false.
bool AdoptEarlierCopies(std::string_view sourceDir, std::string_view movieDir, const TScanOptions &options,
                        std::vector<TRecFileData> &entries, const TScanProgress &progress = {});

} // namespace kpx
