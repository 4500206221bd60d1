#include "pages/WrittenFolders.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "pages/TestSeams.h"

namespace kpx {

TWrittenFolders::TWrittenFolders(const std::vector<std::string> &folders)
{
    for (const std::string &path : folders) {
        TFileDescriptor fd(::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        struct stat info = {};
        if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0)
            continue;
        // Locked twice by one process through two descriptors, a folder
        // would call itself busy.
        const bool known = std::any_of(FFolders.begin(), FFolders.end(), [&](const TFolder &folder) {
            struct stat held = {};
            return ::fstat(folder.Fd.Get(), &held) == 0 && held.st_dev == info.st_dev && held.st_ino == info.st_ino;
        });
        if (known)
            continue;
        // Where the file system offers no lock (NFS without a lock service,
        // some FUSE drivers) the run goes on unguarded: refusing every run
        // there would make such folders unusable.
        if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            FBusy = path;
            return;
        }
        TFolder &held = FFolders.emplace_back();
        held.Path = path;
        held.Fd.Reset(fd.Release());
        held.Device = info.st_dev;
    }
}

int TWrittenFolders::Sync(std::string &failedFolder) const
{
    std::vector<dev_t> synced;
    for (const TFolder &folder : FFolders) {
        if (std::find(synced.begin(), synced.end(), folder.Device) != synced.end())
            continue;
        synced.push_back(folder.Device);
        if (SyncFileSystemOf(folder.Fd.Get()) != 0) {
            failedFolder = folder.Path;
            return errno;
        }
    }
    return 0;
}

bool TWrittenFolders::WholeFileSystemSyncOffered()
{
    // The kernel checks the descriptor only where it has the call: EBADF
    // then, ENOSYS where it has not. Nothing is written out by asking.
    static const bool offered = ::syncfs(-1) != 0 && errno == EBADF;
    return offered;
}

} // namespace kpx
