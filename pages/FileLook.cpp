#include "pages/FileLook.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/sysmacros.h>
#include <system_error>
#include <thread>

namespace kpx {

namespace {

// Below this many names a thread costs more than it saves.
constexpr size_t NamesPerThread = 4096;
// More threads than this only queue for the same folder.
constexpr unsigned MostThreads = 4;

} // namespace

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
    std::vector<TFileLook> looks(names.size());
    const auto lookAtEvery = [&](size_t first, size_t step) {
        for (size_t i = first; i < names.size(); i += step)
            if (!names[i].empty())
                looks[i] = LookAt(folder, names[i]);
    };
    const unsigned threads = static_cast<unsigned>(
        std::clamp<size_t>(names.size() / NamesPerThread, 1, std::min(MostThreads, std::thread::hardware_concurrency())));
    std::vector<std::thread> helpers;
    try {
        for (unsigned t = 1; t < threads; ++t)
            helpers.emplace_back(lookAtEvery, t, threads);
    } catch (const std::system_error &) {
        // No more threads to be had: the shares they would take are looked at here.
    }
    for (size_t t = 0; t < threads; ++t)
        if (t == 0 || t > helpers.size())
            lookAtEvery(t, threads);
    for (std::thread &helper : helpers)
        helper.join();
    return looks;
}

} // namespace kpx
