#include "pages/ShareOut.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace kpx {

namespace {

// Below this many items a thread costs more than it saves.
constexpr std::size_t ItemsPerThread = 4096;
// The work shared out is mostly the kernel finding names of one folder: more
// threads than this only queue for the same folder.
constexpr std::size_t MostThreads = 4;

} // namespace

void ShareOut(std::size_t count, const std::function<void(std::size_t first, std::size_t end)> &work)
{
    const std::size_t processors = std::max(1u, std::thread::hardware_concurrency());
    const std::size_t shares = std::clamp<std::size_t>(count / ItemsPerThread, 1, std::min(MostThreads, processors));
    std::vector<std::exception_ptr> failures(shares);
    const auto runShare = [&](std::size_t share) {
        try {
            work(count * share / shares, count * (share + 1) / shares);
        } catch (...) {
            failures[share] = std::current_exception();
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (std::size_t share = 1; share < shares; ++share)
            helpers.emplace_back(runShare, share);
    } catch (const std::system_error &) {
        // No more threads to be had: the shares they would take are done here.
    }
    runShare(0);
    for (std::size_t share = helpers.size() + 1; share < shares; ++share)
        runShare(share);
    for (std::thread &helper : helpers)
        helper.join();
    for (const std::exception_ptr &failure : failures)
        if (failure)
            std::rethrow_exception(failure);
}

} // namespace kpx
