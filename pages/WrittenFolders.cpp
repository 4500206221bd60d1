#include "pages/WrittenFolders.h"

#include <algorithm>
#include <cerrno>
#include <sys/file.h>
#include <unistd.h>

#include "pages/TestSeams.h"

namespace kpx {

TWrittenFolders::TWrittenFolders(const std::vector<const TOpenFolder *> &folders)
{
    for (const TOpenFolder *folder : folders) {
        // Locked twice by one process through two descriptors, a folder
        // would call itself busy.
        if (folder->Fd() < 0
            || std::any_of(FFolders.begin(), FFolders.end(), [&](const TOpenFolder *held) { return held->Is(*folder); }))
            continue;
        FFolders.push_back(folder);
        // Where the file system offers no lock (NFS without a lock service,
        // some FUSE drivers) the run goes on unguarded: refusing every run
        // there would make such folders unusable.
        if (::flock(folder->Fd(), LOCK_EX | LOCK_NB) == 0) {
            FLocked.push_back(folder);
        } else if (errno == EWOULDBLOCK) {
            FBusy = folder;
            return;
        }
    }
}

TWrittenFolders::~TWrittenFolders()
{
    // The descriptors outlive this: the locks must not.
    for (const TOpenFolder *folder : FLocked)
        ::flock(folder->Fd(), LOCK_UN);
}

int TWrittenFolders::Sync(std::string &failedFolder) const
{
    std::vector<dev_t> synced;
    for (const TOpenFolder *folder : FFolders) {
        if (std::find(synced.begin(), synced.end(), folder->Device()) != synced.end())
            continue;
        synced.push_back(folder->Device());
        if (SyncFileSystemOf(folder->Fd()) != 0) {
            failedFolder = folder->Path();
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
