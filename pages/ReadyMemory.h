// Large arrays of a run's items backed by memory before they are filled. May touch: memory only.
#pragma once

#include <cstddef>
#include <vector>

namespace kpx {

// Asks the kernel to back [data, data + bytes) with memory now, in one call,
// instead of one fault per page as the bytes are first written: a fault costs
// far more than the page it brings. Nothing happens where it cannot.
void PrepareMemory(const void *data, std::size_t bytes);

// `count` items, their room backed by memory before they are made.
template <typename T>
void ResizeReady(std::vector<T> &items, std::size_t count)
{
    items.reserve(count);
    PrepareMemory(items.data(), count * sizeof(T));
    items.resize(count);
}

} // namespace kpx
