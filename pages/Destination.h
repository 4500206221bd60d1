// What a run finds at the names it writes. May touch: the file system (read only).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <unordered_set>
#include <utility>
#include <vector>

#include "pages/AtomicFile.h"
#include "pages/OverwritePolicy.h"

namespace kpx {

// What a run finds at the names it writes. Paths are the file system's own
// bytes, not code page 932.

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

// Looks once at the destination, unless the folder's names say it is not
// there; `source` may be empty (a page).
TDestination FindDestination(const std::string &source, const std::string &destination, TRunKnowledge known = {});

// Whether `file` holds exactly `bytes` (a page written before). Whatever is
// no regular file holds nothing; a pipe is never waited on.
bool HoldsBytes(const std::string &file, std::string_view bytes);

// The decision for a file the run makes itself (a page) of these bytes: as
// DecideCopy, where under the update policy a file of the same bytes is
// current.
TCopyAction DecideWrite(TOverwritePolicy policy, std::string_view bytes, const std::string &destination,
                        TRunKnowledge known = {});

} // namespace kpx
