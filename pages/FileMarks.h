// What a file's bits, times and name tell of it. May touch: nothing but the process id (pure).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>

namespace kpx {

// What a file's bits, times and name tell of it: the marks this program
// leaves on files it has not finished, and the rules for times it keeps.
// Paths are the file system's own bytes.

// Whether a copy's modification time is its source's: whole seconds, as
// rsync compares (some file systems keep no finer time), and FAT's even
// seconds a second off, as rsync's --modify-window allows.
bool SameModificationTime(const timespec &source, const timespec &copy);

// A file of ours with no permission bits at all is one an interrupted run
// left unfinished under its final name: nothing serves it, and the next run
// replaces it whatever its policy.
bool IsUnfinishedFile(const struct stat &info);

// A hidden name this program gives a file while it is not in place, and the
// process that gave it, for the clean-up of an interrupted run.
std::optional<pid_t> HiddenNameOwner(std::string_view name);

// A short hidden name for a file not yet in place, owned by this process;
// never derived from the destination's name, so that every name the file
// system takes can be written.
std::string NewHiddenName();

} // namespace kpx
