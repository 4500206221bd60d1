// Removes an unfinished file when a signal ends the process. May touch: signal handlers, the one file it guards.
#pragma once

#include <csignal>
#include <string>

namespace kpx {

// While it lives, the file at `path` (just made, ours, not yet complete) is
// removed if Ctrl+C, a logout or kill ends the process: such an end leaves
// nothing under its name, not even the unfinished mark. A signal the program
// handles itself is held off until the guard goes instead. One file at a
// time: the engine runs on one thread.
class TUnfinishedFileGuard
{
public:
    explicit TUnfinishedFileGuard(const std::string &path);
    ~TUnfinishedFileGuard();
    TUnfinishedFileGuard(const TUnfinishedFileGuard &) = delete;
    TUnfinishedFileGuard &operator=(const TUnfinishedFileGuard &) = delete;

    // The file is complete or gone: an end from now on leaves it be.
    void Release();

private:
    bool FArmed = false;
    bool FHeld = false;
    sigset_t FPreviousMask;
};

} // namespace kpx
