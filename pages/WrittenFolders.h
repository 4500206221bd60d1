#pragma once

#include <deque>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "pages/FileBytes.h"

namespace kpx {

// The folders one run writes into, held for that run alone from its start to
// its end, and put on disk before it ends. Paths are the file system's own
// bytes.
class TWrittenFolders
{
public:
    // Opens and locks each folder; a folder named twice, under any name, is
    // one. A folder that cannot be opened is passed over: writing into it
    // fails later with a message of its own.
    explicit TWrittenFolders(const std::vector<std::string> &folders);

    // The first folder another run holds (as it was named), or nullopt.
    const std::optional<std::string> &Busy() const { return FBusy; }

    // Asks the kernel to write out what is cached for the folders' file
    // systems, one call for each: 0 or an errno, `failedFolder` naming the
    // folder where it failed.
    int Sync(std::string &failedFolder) const;

    // Whether the kernel can write out a whole file system at once; where it
    // cannot, a run writes out each file itself.
    static bool WholeFileSystemSyncOffered();

private:
    struct TFolder
    {
        std::string Path;
        TFileDescriptor Fd;
        dev_t Device = 0;
    };
    std::deque<TFolder> FFolders;
    std::optional<std::string> FBusy;
};

} // namespace kpx
