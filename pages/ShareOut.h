// Shares work on many items out to the threads that pay for it. May touch: threads only.
#pragma once

#include <cstddef>
#include <functional>

namespace kpx {

// Runs `work(first, end)` on shares of [0, count) that together cover it
// once, each share on a thread of its own (the caller takes the first), as
// many threads as the items and the processors pay for. The shares must not
// touch the same data. Returns when all are done; an exception in a share is
// thrown here after the others end.
void ShareOut(std::size_t count, const std::function<void(std::size_t first, std::size_t end)> &work);

} // namespace kpx
