// Removes an unfinished file when a signal ends the process. May touch: signal handlers, the one file it guards.
#pragma once

#include <csignal>
#include <string>
#include <sys/types.h>

namespace kpx {

// The identity of a file, whatever names lead to it.
struct TFileIdentity
{
    dev_t Device = 0;
    ino_t Inode = 0;
};

// The identity of the file open at `fd`; nothing is known when it cannot be told.
bool IdentityOf(int fd, TFileIdentity &identity);

// Removes `name` of the folder open at `folder` only while it is still the
// file of that identity: a name another process has since given to a file of
// its own stays.
void RemoveIfStill(int folder, const std::string &name, const TFileIdentity &identity);

// While it lives, the file `name` of the folder open at `folder` (just made,
// ours, not yet complete, open at `fd`) is removed if Ctrl+C, a logout or
// kill ends the process, as long as the name still leads to that file: such
// an end leaves nothing of ours under its name, not even the unfinished mark,
// and nothing of anyone else's goes with it. A signal the program handles
// itself is held off until the guard goes instead. One file at a time: the
// engine runs on one thread.
class TUnfinishedFileGuard
{
public:
    TUnfinishedFileGuard(int folder, const std::string &name, int fd);
    ~TUnfinishedFileGuard();
    TUnfinishedFileGuard(const TUnfinishedFileGuard &) = delete;
    TUnfinishedFileGuard &operator=(const TUnfinishedFileGuard &) = delete;

    // The descriptor is about to close while the name is still unfinished:
    // from now on the file is known by this identity.
    void KeepIdentity(const TFileIdentity &identity);
    // The file is complete or gone: an end from now on leaves it be.
    void Release();

private:
    bool FArmed = false;
    bool FHeld = false;
    sigset_t FPreviousMask;
};

} // namespace kpx
