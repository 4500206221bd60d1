#include "pages/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

#include "pages/FileErrors.h"
#include "pages/TestSeams.h"

namespace kpx {

namespace {

// A file the kernel fills in one call is made under its final name at once:
// no other way is as cheap. A larger one takes long enough that a kill -9
// meanwhile is likely; made without a name it leaves nothing at all, at a
// cost its copying hides.
constexpr std::uintmax_t OneCallBytes = CopyChunkBytes;

// A file-size limit (ulimit -f) would otherwise end the process in the
// middle of a file; ignored, the write fails with EFBIG and is reported.
void IgnoreFileSizeSignal()
{
    [[maybe_unused]] static const bool ignored = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
}

// Giving an unnamed file a name goes through its /proc entry (a link by
// descriptor alone needs a privilege a user does not have).
bool ProcMounted()
{
    static const bool mounted = ::access("/proc/self/fd", X_OK) == 0;
    return mounted;
}

std::string ProcPath(int fd)
{
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace

mode_t CreationMode(mode_t requested)
{
    // Read once: the umask can only be read by setting it.
    static const mode_t mask = [] {
        const mode_t current = ::umask(022);
        ::umask(current);
        return current;
    }();
    return requested & 0777 & ~mask;
}

TAtomicFile::TAtomicFile(const TPlace &destination, bool replace, std::uintmax_t size, mode_t permissions,
                         TPlacementWays &ways)
    : FFolder(destination.Folder)
    , FName(destination.Name)
    , FReplace(replace)
    , FSize(size)
    , FPermissions(permissions)
    , FWays(ways)
{
    IgnoreFileSizeSignal();
}

TAtomicFile::~TAtomicFile()
{
    Discard();
}

// Removes the file's name only while it leads to the file this made: a name
// another process took meanwhile stays its own.
void TAtomicFile::Discard()
{
    TFileIdentity identity;
    if (!FUnfinishedName.empty() && KnownIdentity(identity))
        RemoveIfStill(FFolder.Fd(), FUnfinishedName, identity);
    ClearUnfinishedName();
    FFile.Reset(-1);
}

// A name the file has while not complete and in place: an end of the process
// removes it, as Discard does.
void TAtomicFile::SetUnfinishedName(std::string name)
{
    FUnfinishedName = std::move(name);
    FGuard.emplace(FFolder.Fd(), FUnfinishedName, FFile.Get());
}

void TAtomicFile::ClearUnfinishedName()
{
    FGuard.reset();
    FUnfinishedName.clear();
}

// The descriptor is about to close while the name may still need removing.
void TAtomicFile::NoteIdentity()
{
    TFileIdentity identity;
    if (!IdentityOf(FFile.Get(), identity))
        return;
    FIdentity = identity;
    if (FGuard)
        FGuard->KeepIdentity(identity);
}

bool TAtomicFile::KnownIdentity(TFileIdentity &identity) const
{
    if (FIdentity) {
        identity = *FIdentity;
        return true;
    }
    return FFile.Get() >= 0 && IdentityOf(FFile.Get(), identity);
}

int TAtomicFile::WriteOut()
{
    return FWays.SyncEachFile && ::fsync(FFile.Get()) != 0 ? errno : 0;
}

int TAtomicFile::Open()
{
    if (FFolder.Fd() < 0)
        return FFolder.OpenError();
    if (!FReplace && FSize <= OneCallBytes && FWays.KeepsModes) {
        if (!FWays.ModesSeen)
            ProbeModes();
        if (FWays.KeepsModes)
            return OpenUnderOwnName();
    }
    if (FWays.UnnamedFiles && ProcMounted()) {
        const int error = OpenUnnamed();
        // EISDIR: the kernel itself has no unnamed files.
        if (!NotOffered(error) && error != EISDIR)
            return error;
        FWays.UnnamedFiles = false;
    }
    return OpenHidden();
}

// FAT, exFAT and NTFS through FUSE show every file with the same bits: the
// unfinished mark cannot be made there. A hidden file of our own tells, so
// that no final name ever holds a probe.
void TAtomicFile::ProbeModes()
{
    const std::string probe = NewHiddenName();
    TFileDescriptor file(::openat(FFolder.Fd(), probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0));
    if (file.Get() < 0)
        return; // the folder refuses files: the file itself will say why
    const TUnfinishedFileGuard guard(FFolder.Fd(), probe, file.Get());
    if (const auto probed = TestSeams().ModesProbed)
        probed(probe);
    struct stat info = {};
    const bool seen = ::fstat(file.Get(), &info) == 0;
    FWays.ModesSeen = true;
    FWays.KeepsModes = seen && (info.st_mode & 07777) == 0;
    if (seen)
        RemoveIfStill(FFolder.Fd(), probe, {info.st_dev, info.st_ino});
}

int TAtomicFile::OpenUnderOwnName()
{
    FFile.Reset(::openat(FFolder.Fd(), FName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0));
    if (FFile.Get() < 0)
        return errno;
    FWay = TWay::OwnName;
    // Ctrl+C, a logout or kill remove it until it is complete; a kill that
    // cannot be caught leaves the unfinished mark, which the next run replaces.
    SetUnfinishedName(FName);
    return 0;
}

int TAtomicFile::OpenUnnamed()
{
    FFile.Reset(::openat(FFolder.Fd(), ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, FPermissions & 0777));
    FWay = TWay::Unnamed;
    return FFile.Get() >= 0 ? 0 : errno;
}

int TAtomicFile::OpenHidden()
{
    FWay = TWay::Hidden;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = NewHiddenName();
        FFile.Reset(
            ::openat(FFolder.Fd(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, FPermissions & 0777));
        if (FFile.Get() >= 0) {
            SetUnfinishedName(std::move(name));
            return 0;
        }
        if (errno != EEXIST)
            break;
    }
    return errno;
}

int TAtomicFile::SetTimes(const timespec &accessed, const timespec &modified)
{
    // Both times: FAT and exFAT through FUSE ignore a call that leaves one as it is.
    FTimes = {accessed, modified};
    if (::futimens(FFile.Get(), FTimes->data()) != 0)
        return errno;
    // Whether the file system keeps what it is told shows on its first file;
    // where it did not, every file gets its times again once named.
    if (!FWays.TimesSeen) {
        struct stat made = {};
        FWays.TimesSeen = true;
        FWays.KeepsTimes = ::fstat(FFile.Get(), &made) == 0 && SameModificationTime(modified, made.st_mtim);
    }
    FTimesTaken = FWays.KeepsTimes;
    return 0;
}

void TAtomicFile::KeepTimesAfterPlacing()
{
    struct stat placed = {};
    if (FTimes
        && (::fstatat(FFolder.Fd(), FName.c_str(), &placed, 0) != 0
            || !SameModificationTime((*FTimes)[1], placed.st_mtim)))
        ::utimensat(FFolder.Fd(), FName.c_str(), FTimes->data(), AT_SYMLINK_NOFOLLOW);
}

int TAtomicFile::Commit(bool replace)
{
    if (const int error = WriteOut())
        return error;
    switch (FWay) {
    case TWay::OwnName: {
        if (::fchmod(FFile.Get(), CreationMode(FPermissions)) != 0)
            return errno;
        // Complete and in place: an end from now on leaves it. A close that
        // fails still removes it (Discard), while it is the file made here.
        FGuard.reset();
        NoteIdentity();
        if (const int error = FFile.Close())
            return error;
        FUnfinishedName.clear();
        FIdentity.reset();
        if (!FTimesTaken)
            KeepTimesAfterPlacing();
        return 0;
    }
    case TWay::Unnamed:
        if (!replace) {
            if (::linkat(AT_FDCWD, ProcPath(FFile.Get()).c_str(), FFolder.Fd(), FName.c_str(), AT_SYMLINK_FOLLOW) != 0)
                return errno;
            if (!FTimesTaken)
                KeepTimesAfterPlacing();
            return 0;
        }
        // Replacing needs a rename, and a rename needs a name to start from.
        if (const int error = NameUnnamedFile())
            return error;
        return PlaceHidden(true);
    case TWay::Hidden:
        NoteIdentity();
        if (const int error = FFile.Close())
            return error;
        return PlaceHidden(replace);
    }
    return EINVAL;
}

int TAtomicFile::NameUnnamedFile()
{
    const std::string self = ProcPath(FFile.Get());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string hidden = NewHiddenName();
        if (::linkat(AT_FDCWD, self.c_str(), FFolder.Fd(), hidden.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            SetUnfinishedName(std::move(hidden));
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

int TAtomicFile::PlaceHidden(bool replace)
{
    const int error = replace ? Rename(0) : PlaceHiddenWithoutReplacing();
    if (error == 0) {
        ClearUnfinishedName();
        KeepTimesAfterPlacing();
    }
    return error;
}

int TAtomicFile::PlaceHiddenWithoutReplacing()
{
    if (FWays.NoReplaceRename) {
        const int error = Rename(RENAME_NOREPLACE);
        if (!NotOffered(error))
            return error;
        FWays.NoReplaceRename = false;
    }
    if (FWays.HardLinks) {
        if (::linkat(FFolder.Fd(), FUnfinishedName.c_str(), FFolder.Fd(), FName.c_str(), 0) == 0) {
            Discard(); // the hidden name; the file stays under its own
            return 0;
        }
        if (!NotOffered(errno) && errno != EPERM)
            return errno;
        FWays.HardLinks = false;
    }
    // The last resort, where the file system can neither refuse to replace
    // a name nor link (FAT, exFAT): look that the name is free, then rename.
    // A file made under that name between the two is replaced; no other way
    // is left there.
    struct stat existing = {};
    if (::fstatat(FFolder.Fd(), FName.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0)
        return EEXIST;
    if (errno != ENOENT)
        return errno;
    return Rename(0);
}

int TAtomicFile::Rename(unsigned flags)
{
    return ::renameat2(FFolder.Fd(), FUnfinishedName.c_str(), FFolder.Fd(), FName.c_str(), flags) == 0 ? 0 : errno;
}

} // namespace kpx
