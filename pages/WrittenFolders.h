// The folders a run writes, held for it alone and put on disk at its end. May touch: the file system (locks, syncfs).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pages/OpenFolder.h"

namespace kpx {

// The folders one run writes into, held for that run alone from its start to
// its end, and put on disk before it ends.
class TWrittenFolders
{
public:
    // Locks each folder; a folder named twice, under any name, is one. A
    // folder that could not be opened is passed over: writing into it fails
    // with a message of its own.
    explicit TWrittenFolders(const std::vector<const TOpenFolder *> &folders);
    ~TWrittenFolders();
    TWrittenFolders(const TWrittenFolders &) = delete;
    TWrittenFolders &operator=(const TWrittenFolders &) = delete;

    // The first folder another run holds, or nullptr.
    const TOpenFolder *Busy() const { return FBusy; }

    // Asks the kernel to write out what is cached for the folders' file
    // systems, one call for each: 0 or an errno, `failedFolder` naming the
    // folder where it failed.
    int Sync(std::string &failedFolder) const;

    // Whether the kernel can write out a whole file system at once; where it
    // cannot, a run writes out each file itself.
    static bool WholeFileSystemSyncOffered();

private:
    std::vector<const TOpenFolder *> FFolders; // distinct, open
    std::vector<const TOpenFolder *> FLocked;
    const TOpenFolder *FBusy = nullptr;
};

} // namespace kpx
