#include "pages/FileLook.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
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
    TFileLook look;
    struct stat info = {};
    if (::fstatat(folder, name.c_str(), &info, 0) != 0) {
        look.Error = errno;
        return look;
    }
    look.Error = 0;
    look.Mode = info.st_mode;
    look.Owner = info.st_uid;
    look.Links = info.st_nlink;
    look.Size = info.st_size;
    look.Modified = info.st_mtim;
    look.Device = info.st_dev;
    look.Inode = info.st_ino;
    return look;
}

std::vector<TFileLook> LookAtAll(int folder, const std::vector<std::string> &names)
{
    std::vector<TFileLook> looks(names.size());
    const auto lookAtEvery = [&](size_t first, size_t step) {
        for (size_t i = first; i < names.size(); i += step)
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
