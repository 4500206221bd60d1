#include "pages/FileLook.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/sysmacros.h>

#include "pages/ReadyMemory.h"
#include "pages/ShareOut.h"

namespace kpx {

struct stat TFileLook::AsStat() const
{
    struct stat info = {};
    info.st_mode = Mode;
    info.st_uid = Owner;
    info.st_nlink = Links;
    info.st_size = Size;
    info.st_mtim = Modified;
    info.st_dev = Device;
    info.st_ino = Inode;
    return info;
}

TFileLook LookAt(int folder, const std::string &name)
{
    // statx asked for these fields only costs the kernel less than fstatat.
    constexpr unsigned Wanted = STATX_TYPE | STATX_MODE | STATX_UID | STATX_NLINK | STATX_SIZE | STATX_MTIME | STATX_INO;
    TFileLook look;
    struct statx info = {};
    if (::statx(folder, name.c_str(), AT_STATX_SYNC_AS_STAT, Wanted, &info) != 0) {
        look.Error = errno;
        return look;
    }
    look.Error = 0;
    look.Mode = info.stx_mode;
    look.Owner = info.stx_uid;
    look.Links = info.stx_nlink;
    look.Size = static_cast<off_t>(info.stx_size);
    look.Modified = {info.stx_mtime.tv_sec, static_cast<long>(info.stx_mtime.tv_nsec)};
    look.Device = makedev(info.stx_dev_major, info.stx_dev_minor);
    look.Inode = info.stx_ino;
    return look;
}

std::vector<TFileLook> LookAtAll(int folder, const std::vector<std::string> &names)
{
    std::vector<TFileLook> looks;
    ResizeReady(looks, names.size());
    ShareOut(names.size(), [&](size_t first, size_t end) {
        for (size_t i = first; i < end; ++i)
            if (!names[i].empty())
                looks[i] = LookAt(folder, names[i]);
    });
    return looks;
}

} // namespace kpx
