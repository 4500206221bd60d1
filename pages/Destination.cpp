#include "pages/Destination.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "pages/TestSeams.h"
#include "text/Cp932.h"
#include "text/RB4471HenkanFnc.h"

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

} // namespace

bool HoldsBytes(const std::string &file, std::string_view bytes)
{
    TFileDescriptor in;
    struct stat info = {};
    if (OpenRegularFile(file, in, info) != 0 || static_cast<std::uintmax_t>(info.st_size) != bytes.size())
        return false;
    std::string held(bytes.size(), '\0');
    for (size_t done = 0; done < held.size();) {
        const ssize_t n = ::read(in.Get(), held.data() + done, held.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return held == bytes;
}

TRunSources::TRunSources(std::function<std::vector<std::string>()> listFiles) : FListFiles(std::move(listFiles)) {}

bool TRunSources::Holds(dev_t device, ino_t inode) const
{
    if (!FLookedUp) {
        for (const std::string &file : FListFiles()) {
            struct stat info = {};
            if (::stat(file.c_str(), &info) == 0)
                FIdentities.emplace_back(info.st_dev, info.st_ino);
        }
        std::sort(FIdentities.begin(), FIdentities.end());
        FLookedUp = true;
    }
    return std::binary_search(FIdentities.begin(), FIdentities.end(), std::pair(device, inode));
}

TFolderNames::TFolderNames(const std::string &folder, bool removeLeftovers)
{
    DIR *listing = ::opendir(folder.empty() ? "." : folder.c_str());
    FListed = listing != nullptr;
    if (!listing)
        return;
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
        FNames.insert(FoldAsciiCase(entry->d_name));
    }
    ::closedir(listing);
}

bool TFolderNames::MayHold(std::string_view name) const
{
    return !FListed || !IsAscii(name) || FNames.count(FoldAsciiCase(name)) > 0;
}

TDestination FindDestination(const std::string &source, const std::string &destination, TRunKnowledge known)
{
    if (known.Names && !known.Names->MayHold(std::string_view(destination).substr(destination.rfind('/') + 1)))
        return TDestination::Missing;
    struct stat destinationStat = {};
    if (::stat(destination.c_str(), &destinationStat) != 0)
        return TDestination::Missing; // what cannot be looked at, the copy reports
    struct stat sourceStat = {};
    const bool sourceSeen = !source.empty() && ::stat(source.c_str(), &sourceStat) == 0;
    if (sourceSeen && SameFile(sourceStat, destinationStat))
        return TDestination::TheSource;
    if (known.Sources && known.Sources->Holds(destinationStat.st_dev, destinationStat.st_ino))
        return TDestination::AnotherSource;
    if (IsUnfinishedFile(destinationStat))
        return TDestination::Unfinished;
    if (sourceSeen && S_ISREG(destinationStat.st_mode) && sourceStat.st_size == destinationStat.st_size
        && SameModificationTime(sourceStat.st_mtim, destinationStat.st_mtim))
        return TDestination::Current;
    return TDestination::Other;
}

TCopyAction DecideWrite(TOverwritePolicy policy, std::string_view bytes, const std::string &destination,
                        TRunKnowledge known)
{
    const TDestination found = FindDestination({}, destination, known);
    const TCopyAction action = DecideCopy(policy, found);
    return policy == TOverwritePolicy::Update && found == TDestination::Other && HoldsBytes(destination, bytes)
               ? TCopyAction::KeepCurrent
               : action;
}

} // namespace kpx
