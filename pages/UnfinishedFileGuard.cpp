#include "pages/UnfinishedFileGuard.h"

#include <atomic>
#include <cstring>
#include <pthread.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kpx {

namespace {

constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// What the handler may touch: the folder, a fixed buffer with the name, the
// file's descriptor or identity, and a flag, set before and cleared after
// the rest is in place.
volatile int UnfinishedFolder = -1;
char UnfinishedName[512];
volatile int UnfinishedFd = -1;
volatile std::sig_atomic_t UnfinishedIdentityKnown = 0;
volatile dev_t UnfinishedDevice = 0;
volatile ino_t UnfinishedInode = 0;
volatile std::sig_atomic_t UnfinishedArmed = 0;

// Only system calls a signal handler may make: fstat, fstatat, unlinkat.
bool StillTheUnfinishedFile()
{
    struct stat made = {};
    if (UnfinishedIdentityKnown) {
        made.st_dev = UnfinishedDevice;
        made.st_ino = UnfinishedInode;
    } else if (::fstat(UnfinishedFd, &made) != 0) {
        return false;
    }
    struct stat named = {};
    return ::fstatat(UnfinishedFolder, UnfinishedName, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == made.st_dev
           && named.st_ino == made.st_ino;
}

extern "C" void RemoveUnfinishedAndEnd(int signal)
{
    if (UnfinishedArmed && StillTheUnfinishedFile())
        ::unlinkat(UnfinishedFolder, UnfinishedName, 0);
    // Then end as the signal would have: default action, raised again.
    struct sigaction byDefault = {};
    byDefault.sa_handler = SIG_DFL;
    ::sigaction(signal, &byDefault, nullptr);
    ::raise(signal);
}

// Installed once, and only where the program left the default action: an
// ignored signal (nohup) stays ignored, a handler of the program's own stays
// its own. Those are returned, to be held while a file is unfinished.
const sigset_t &SignalsToHold()
{
    static const sigset_t held = [] {
        sigset_t others;
        ::sigemptyset(&others);
        for (const int signal : EndingSignals) {
            struct sigaction current = {};
            ::sigaction(signal, nullptr, &current);
            if (current.sa_handler == SIG_IGN)
                continue;
            if (current.sa_handler != SIG_DFL || (current.sa_flags & SA_SIGINFO)) {
                ::sigaddset(&others, signal);
                continue;
            }
            struct sigaction removing = {};
            removing.sa_handler = RemoveUnfinishedAndEnd;
            ::sigemptyset(&removing.sa_mask);
            ::sigaction(signal, &removing, nullptr);
        }
        return others;
    }();
    return held;
}

bool AnySignalIn(const sigset_t &set)
{
    for (const int signal : EndingSignals)
        if (::sigismember(&set, signal) == 1)
            return true;
    return false;
}

} // namespace

bool IdentityOf(int fd, TFileIdentity &identity)
{
    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        return false;
    identity = {info.st_dev, info.st_ino};
    return true;
}

void RemoveIfStill(int folder, const std::string &name, const TFileIdentity &identity)
{
    struct stat named = {};
    if (::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == identity.Device
        && named.st_ino == identity.Inode)
        ::unlinkat(folder, name.c_str(), 0);
}

TUnfinishedFileGuard::TUnfinishedFileGuard(int folder, const std::string &name, int fd)
{
    sigset_t toHold = SignalsToHold();
    if (name.size() < sizeof UnfinishedName) {
        std::memcpy(UnfinishedName, name.c_str(), name.size() + 1);
        UnfinishedFolder = folder;
        UnfinishedFd = fd;
        UnfinishedIdentityKnown = 0;
        std::atomic_signal_fence(std::memory_order_seq_cst);
        UnfinishedArmed = 1;
        FArmed = true;
    } else {
        // Too long for the handler's buffer: every ending signal waits instead.
        for (const int signal : EndingSignals)
            ::sigaddset(&toHold, signal);
    }
    if (AnySignalIn(toHold)) {
        ::pthread_sigmask(SIG_BLOCK, &toHold, &FPreviousMask);
        FHeld = true;
    }
}

TUnfinishedFileGuard::~TUnfinishedFileGuard()
{
    Release();
}

void TUnfinishedFileGuard::KeepIdentity(const TFileIdentity &identity)
{
    if (!FArmed)
        return;
    UnfinishedDevice = identity.Device;
    UnfinishedInode = identity.Inode;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    UnfinishedIdentityKnown = 1;
}

void TUnfinishedFileGuard::Release()
{
    if (FArmed) {
        UnfinishedArmed = 0;
        std::atomic_signal_fence(std::memory_order_seq_cst);
        FArmed = false;
    }
    if (FHeld) {
        ::pthread_sigmask(SIG_SETMASK, &FPreviousMask, nullptr);
        FHeld = false;
    }
}

} // namespace kpx
