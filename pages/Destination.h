// What a run finds at the names it writes. May touch: the file system (read only).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <utility>
#include <vector>

#include "pages/AtomicFile.h"
#include "pages/FileLook.h"
#include "pages/OpenFolder.h"
#include "pages/OverwritePolicy.h"
#include "pages/RecFileData.h"

namespace kpx {

// What a run finds at the names it writes. Names are the file system's own
// bytes, not code page 932.

// A movie to copy: its folder, its name there, its size and what the scan
// saw of it (absent: looked at when needed).
struct TMovieSource
{
    const TOpenFolder &Folder;
    std::string_view Name;
    std::uintmax_t Size = 0;
    std::optional<TSeenFile> Seen;
};

// Whether the file found in `foundIn` could be a file of `folder`: on its
// disk, and either in that folder or known by more than one name. Answered
// without a look.
bool CouldBeIn(const struct stat &found, const TOpenFolder &foundIn, const TOpenFolder &folder);

// The files a run copies from, known by device and inode: no copy may replace
// one of them, whatever name leads to it (a link, a folder reached twice, a
// file system that ignores letter case). `listNames` names them in their
// folder; it is called, and they are looked up, only when first asked, since
// most runs never need them.
class TRunSources
{
public:
    TRunSources(const TOpenFolder &folder, std::function<std::vector<std::string>()> listNames);
    // Whether the file found in `folder` could be one of the sources at all (CouldBeIn).
    bool MayBeOne(const struct stat &found, const TOpenFolder &folder) const;
    bool Holds(dev_t device, ino_t inode) const;
    const TOpenFolder &Folder() const { return FFolder; }

private:
    const TOpenFolder &FFolder;
    std::function<std::vector<std::string>()> FListNames;
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
    explicit TFolderNames(const TOpenFolder &folder, bool removeLeftovers = false);
    bool MayHold(std::string_view name) const;

private:
    bool FListed = false;
    // Of the folded names, sorted: a few bytes a name, and a name whose hash
    // another one shares is merely looked at.
    std::vector<std::uint64_t> FHashes;
};

// What a run knows beyond a destination's own name; any may be absent.
struct TRunKnowledge
{
    const TRunSources *Sources = nullptr;
    const TFolderNames *Names = nullptr; // of the destination's folder
    TPlacementWays *Ways = nullptr;      // of the destination's folder; absent: every way, learnt afresh
    const TFileLook *Look = nullptr;     // the destination as looked at with the others; absent: looked at now
    // Whether the destination held the bytes when it was looked at with the
    // others; absent: read when the decision needs it.
    std::optional<bool> HeldBytes = std::nullopt;
};

// Looks once at the destination, unless the folder's names say it is not
// there; the source is looked at only where the destination could be it.
TDestination FindDestination(const TMovieSource &source, const TPlace &destination, TRunKnowledge known = {});

// The decision for a file the run makes itself (a page) of these bytes: as
// DecideCopy, where under the update policy a file of the same bytes is
// current. Whatever is no regular file holds no bytes; a pipe is never
// waited on.
TCopyAction DecideWrite(TOverwritePolicy policy, std::string_view bytes, const TPlace &destination,
                        TRunKnowledge known = {});

// Whether the file found at the destination holds exactly `bytes`: read
// only where the sizes agree. Whatever is no regular file holds no bytes;
// a pipe is never waited on.
bool HoldsBytes(const TPlace &destination, const struct stat &found, std::string_view bytes);

} // namespace kpx
