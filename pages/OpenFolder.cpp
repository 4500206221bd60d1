#include "pages/OpenFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace kpx {

TOpenFolder::TOpenFolder(std::string path) : FPath(std::move(path))
{
    FFd.Reset(::open(FPath.empty() ? "." : FPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat info = {};
    if (FFd.Get() < 0 || ::fstat(FFd.Get(), &info) != 0) {
        FOpenError = errno;
        FFd.Reset(-1);
        return;
    }
    FDevice = info.st_dev;
    FInode = info.st_ino;
}

bool TOpenFolder::Is(const TOpenFolder &other) const
{
    return Fd() >= 0 && other.Fd() >= 0 && FDevice == other.FDevice && FInode == other.FInode;
}

} // namespace kpx
