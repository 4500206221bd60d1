// Looks at many files of a folder at once, on the threads that pay. May touch: the file system (read only).
#pragma once

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

namespace kpx {

// What one look at a file tells, kept small: a run holds one per movie.
struct TFileLook
{
    int Error = ENOENT; // 0 when the file was seen
    mode_t Mode = 0;
    uid_t Owner = 0;
    nlink_t Links = 0;
    off_t Size = 0;
    timespec Modified = {};
    dev_t Device = 0;
    ino_t Inode = 0;

    bool Seen() const { return Error == 0; }
    // The same look as the kernel gives it, for the rules written on one.
    struct stat AsStat() const;
};

// One look at `name` of the folder open at `folder`, links followed.
TFileLook LookAt(int folder, const std::string &name);

// A look at each name, in the order given; an empty name is not looked at
// and its look says nothing is there. Large folders are looked at on several
// threads at once: a look is mostly the kernel finding the name, and finding
// names of one folder goes on in parallel.
std::vector<TFileLook> LookAtAll(int folder, const std::vector<std::string> &names);

} // namespace kpx
