#include "pages/Destination.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "pages/TestSeams.h"
#include "text/AsciiChars.h"
#include "text/Cp932.h"

namespace kpx {

namespace {

bool ProcessRuns(pid_t pid)
{
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

bool SameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// What is at a destination: one look, or none where the folder's names rule
// it out. Nullopt when nothing is there (what cannot be looked at, the copy
// reports).
std::optional<struct stat> Found(const TPlace &destination, const TRunKnowledge &known)
{
    if (!known.Look && known.Names && !known.Names->MayHold(destination.Name))
        return std::nullopt;
    const TFileLook look = known.Look ? *known.Look : kpx::LookAt(destination.Folder.Fd(), std::string(destination.Name));
    return look.Seen() ? std::optional(look.AsStat()) : std::nullopt;
}

// FNV-1a of the name with ASCII letters in lower case.
std::uint64_t FoldedHash(std::string_view name)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : name)
        hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211ull;
    return hash;
}

// What the destination is when it is no file of the run's sources and no
// unfinished copy; `current` tells whether it already is what would be written.
TDestination Classify(const struct stat &found, const TOpenFolder &destination,
                      const std::optional<struct stat> &source, const TRunKnowledge &known,
                      const std::function<bool()> &current)
{
    if (source && SameFile(*source, found))
        return TDestination::TheSource;
    if (known.Sources && known.Sources->MayBeOne(found, destination)
        && known.Sources->Holds(found.st_dev, found.st_ino))
        return TDestination::AnotherSource;
    if (IsUnfinishedFile(found))
        return TDestination::Unfinished;
    return S_ISREG(found.st_mode) && current() ? TDestination::Current : TDestination::Other;
}

} // namespace

TRunSources::TRunSources(const TOpenFolder &folder, std::function<std::vector<std::string>()> listNames)
    : FFolder(folder)
    , FListNames(std::move(listNames))
{}

bool TRunSources::MayBeOne(const struct stat &found, const TOpenFolder &folder) const
{
    return CouldBeIn(found, folder, FFolder);
}

bool CouldBeIn(const struct stat &found, const TOpenFolder &foundIn, const TOpenFolder &folder)
{
    // A file with one name in another folder has no name in this one.
    return folder.Fd() >= 0 && found.st_dev == folder.Device() && (found.st_nlink > 1 || foundIn.Is(folder));
}

bool TRunSources::Holds(dev_t device, ino_t inode) const
{
    if (!FLookedUp) {
        for (const std::string &name : FListNames()) {
            struct stat info = {};
            if (::fstatat(FFolder.Fd(), name.c_str(), &info, 0) == 0)
                FIdentities.emplace_back(info.st_dev, info.st_ino);
        }
        std::sort(FIdentities.begin(), FIdentities.end());
        FLookedUp = true;
    }
    return std::binary_search(FIdentities.begin(), FIdentities.end(), std::pair(device, inode));
}

TFolderNames::TFolderNames(const TOpenFolder &folder, bool removeLeftovers)
{
    // A listing of its own: a directory stream moves the descriptor it reads.
    const int fd = folder.Fd() < 0 ? -1 : ::openat(folder.Fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *listing = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!listing) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    FListed = true;
    for (;;) {
        errno = 0;
        const dirent *entry = ReadFolderEntry(listing);
        if (!entry) {
            // A listing cut short holds too few names to rule any out.
            FListed = errno == 0;
            break;
        }
        // Only names of our own, of a process that no longer runs: a run that
        // goes on beside this one keeps its files.
        if (removeLeftovers && entry->d_name[0] == '.')
            if (const std::optional<pid_t> owner = HiddenNameOwner(entry->d_name); owner && !ProcessRuns(*owner))
                if (::unlinkat(::dirfd(listing), entry->d_name, 0) == 0)
                    continue;
        FHashes.push_back(FoldedHash(entry->d_name));
    }
    ::closedir(listing);
    std::sort(FHashes.begin(), FHashes.end());
}

bool TFolderNames::MayHold(std::string_view name) const
{
    return !FListed || !IsAscii(name) || std::binary_search(FHashes.begin(), FHashes.end(), FoldedHash(name));
}

TDestination FindDestination(const TMovieSource &source, const TPlace &destination, TRunKnowledge known)
{
    const std::optional<struct stat> found = Found(destination, known);
    if (!found)
        return TDestination::Missing;
    // The scan's look tells whether a copy is current; only a destination
    // that could be the source itself is worth a fresh look at the source,
    // which may have been replaced since.
    std::optional<struct stat> sourceNow;
    if (!source.Seen || CouldBeIn(*found, destination.Folder, source.Folder)) {
        struct stat info = {};
        if (::fstatat(source.Folder.Fd(), std::string(source.Name).c_str(), &info, 0) == 0)
            sourceNow = info;
    }
    // A link elsewhere to the movie is the movie too, as the scan saw it.
    if (!sourceNow && source.Seen && source.Seen->Device == found->st_dev && source.Seen->Inode == found->st_ino)
        sourceNow = found;
    return Classify(*found, destination.Folder, sourceNow, known, [&] {
        if (sourceNow)
            return static_cast<std::uintmax_t>(found->st_size) == static_cast<std::uintmax_t>(sourceNow->st_size)
                   && SameModificationTime(sourceNow->st_mtim, found->st_mtim);
        return source.Seen && static_cast<std::uintmax_t>(found->st_size) == source.Size
               && SameModificationTime(source.Seen->Modified, found->st_mtim);
    });
}

bool HoldsBytes(const TPlace &destination, const struct stat &found, std::string_view bytes)
{
    if (!S_ISREG(found.st_mode) || static_cast<std::uintmax_t>(found.st_size) != bytes.size())
        return false;
    const TFileDescriptor page(OpenToRead(destination.Folder.Fd(), std::string(destination.Name)));
    return page.Get() >= 0 && NextBytesAre(page.Get(), bytes, true);
}

TCopyAction DecideWrite(TOverwritePolicy policy, std::string_view bytes, const TPlace &destination,
                        TRunKnowledge known)
{
    const std::optional<struct stat> found = Found(destination, known);
    if (!found)
        return DecideCopy(policy, TDestination::Missing);
    return DecideCopy(policy, Classify(*found, destination.Folder, std::nullopt, known, [&] {
                          return policy == TOverwritePolicy::Update
                                 && (known.HeldBytes ? *known.HeldBytes : HoldsBytes(destination, *found, bytes));
                      }));
}

} // namespace kpx
