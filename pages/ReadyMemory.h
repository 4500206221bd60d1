// Large arrays of a run's items backed by memory before they are filled. May touch: memory only.
#pragma once

#include <cstddef>
#include <vector>

namespace kpx {

// Asks the kernel to back [data, data + bytes) with memory now, in one call,
// instead of one fault per page as the bytes are first written: a fault costs
// far more than the page it brings. Nothing happens where it cannot.
void PrepareMemory(const void *data, std::size_t bytes);

// Room for `count` items, backed by memory at once.
template <typename T>
void ReserveReady(std::vector<T> &items, std::size_t count)
{
    items.reserve(count);
    PrepareMemory(items.data(), count * sizeof(T));
}

} // namespace kpx
