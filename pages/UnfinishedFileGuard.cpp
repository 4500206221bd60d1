#include "pages/UnfinishedFileGuard.h"

#include <atomic>
#include <cstring>
#include <pthread.h>
#include <unistd.h>

namespace kpx {

namespace {

constexpr int EndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// What the handler may touch: a fixed buffer and a flag, set before and
// cleared after the file is in the buffer.
char UnfinishedPath[4096];
volatile std::sig_atomic_t UnfinishedArmed = 0;

extern "C" void RemoveUnfinishedAndEnd(int signal)
{
    if (UnfinishedArmed)
        ::unlink(UnfinishedPath);
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

TUnfinishedFileGuard::TUnfinishedFileGuard(const std::string &path)
{
    sigset_t toHold = SignalsToHold();
    if (path.size() < sizeof UnfinishedPath) {
        std::memcpy(UnfinishedPath, path.c_str(), path.size() + 1);
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
