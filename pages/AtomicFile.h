// Files that are complete or absent under their final names. May touch: the file system (the target folder).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

#include "pages/FileBytes.h"
#include "pages/FileMarks.h"
#include "pages/OpenFolder.h"
#include "pages/UnfinishedFileGuard.h"

namespace kpx {

// Names here are the file system's own bytes, not code page 932.

// The ways one target folder's file system offers to put a complete file in
// place. Each starts as allowed; a folder whose file system turns one down
// stops using it (FAT and exFAT have none of them).
struct TPlacementWays
{
    bool UnnamedFiles = true;    // O_TMPFILE, linked into place when complete
    bool NoReplaceRename = true; // renameat2 with RENAME_NOREPLACE
    bool HardLinks = true;       // a link, which never replaces a name either
    bool KeepsModes = true;      // a file made without permission bits keeps none until given them
    bool ModesSeen = false;      // whether KeepsModes was looked at on a real file
    bool KeepsTimes = true;      // a file's times, once set on its descriptor, are kept
    bool TimesSeen = false;      // whether KeepsTimes was looked at on a real file
    bool SyncEachFile = false;   // write out each file before placing it: the kernel cannot sync the whole disk
};

// A file whose contents are complete, or absent, under its final name after
// any end of the process, a kill included, in the shape of a save file:
// Open, fill Fd(), Commit. Destroying it uncommitted discards it. The
// cheapest way the folder allows:
// - a small new file is made under its own name without permission bits
//   (the unfinished mark), removed if the process is ended meanwhile;
//   commit gives it its permissions. Whether the file system keeps a file
//   without bits is learnt once per folder on a hidden file of our own;
// - otherwise a file without a name, linked into place when complete;
// - where the file system has no such files, a short hidden name beside the
//   destination, renamed into place.
class TAtomicFile
{
public:
    // `size` is the expected size; `permissions` the mode it ends with
    // (before the umask); `ways` are the destination folder's, and learn
    // what its file system turns down.
    TAtomicFile(const TPlace &destination, bool replace, std::uintmax_t size, mode_t permissions, TPlacementWays &ways);
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile &) = delete;
    TAtomicFile &operator=(const TAtomicFile &) = delete;

    // 0 or an errno; EEXIST when a new file's name is taken.
    int Open();
    int Fd() const { return FFile.Get(); }
    // Gives the file these times once its contents are complete, and keeps
    // them through placing (some drivers lose them in a rename or ignore
    // them on a descriptor). 0 or an errno.
    int SetTimes(const timespec &accessed, const timespec &modified);
    // Completes the file and gives it its name: 0 or an errno; EEXIST when
    // the name is taken and `replace` is false.
    int Commit(bool replace);

private:
    void ProbeModes();
    int OpenUnderOwnName();
    int OpenUnnamed();
    int OpenHidden();
    int NameUnnamedFile();
    void SetUnfinishedName(std::string name);
    void ClearUnfinishedName();
    void NoteIdentity();
    bool KnownIdentity(TFileIdentity &identity) const;
    int WriteOut();
    int PlaceHidden(bool replace);
    int PlaceHiddenWithoutReplacing();
    int Rename(unsigned flags);
    void KeepTimesAfterPlacing();
    void Discard();

    enum class TWay
    {
        OwnName,
        Unnamed,
        Hidden,
    };

    const TOpenFolder &FFolder;
    std::string FName;
    bool FReplace;
    std::uintmax_t FSize;
    mode_t FPermissions;
    TPlacementWays &FWays;
    TWay FWay = TWay::Hidden;
    TFileDescriptor FFile;
    std::string FUnfinishedName; // the name the file has in FFolder while not complete and in place
    std::optional<TUnfinishedFileGuard> FGuard;
    std::optional<TFileIdentity> FIdentity; // noted when the descriptor closes before the name is final
    std::optional<std::array<timespec, 2>> FTimes;
    bool FTimesTaken = true;
};

} // namespace kpx
