// A folder opened once, its files named relative to it. May touch: the file system (opens the folder).
#pragma once

#include <string>
#include <string_view>
#include <sys/types.h>

#include "pages/FileBytes.h"

namespace kpx {

// A folder a run reads or writes, opened once: its files are named relative
// to it, so that the kernel walks the folder's path once, not at every call.
// Paths are the file system's own bytes.
class TOpenFolder
{
public:
    // `path` is empty (the working folder) or ends with a delimiter.
    explicit TOpenFolder(std::string path);

    // -1 when the folder could not be opened; OpenError() then says why,
    // and every file in it fails with that.
    int Fd() const { return FFd.Get(); }
    int OpenError() const { return FOpenError; }
    const std::string &Path() const { return FPath; }
    // The file's whole path, for what the user is told.
    std::string PathOf(std::string_view name) const { return FPath + std::string(name); }
    // Whether it is `other`, whatever names lead to the two.
    bool Is(const TOpenFolder &other) const;
    dev_t Device() const { return FDevice; }

private:
    std::string FPath;
    TFileDescriptor FFd;
    int FOpenError = 0;
    dev_t FDevice = 0;
    ino_t FInode = 0;
};

// A file a run puts in place: its folder and its name there.
struct TPlace
{
    const TOpenFolder &Folder;
    std::string_view Name;

    std::string Path() const { return Folder.PathOf(Name); }
};

} // namespace kpx
