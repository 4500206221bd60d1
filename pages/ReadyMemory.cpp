#include "pages/ReadyMemory.h"

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace kpx {

void PrepareMemory(const void *data, std::size_t bytes)
{
#ifdef MADV_POPULATE_WRITE
    static const auto pageSize = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(data) & ~(pageSize - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(data) + bytes;
    // Kernels before 5.14 refuse the advice: the pages then come as written.
    if (bytes > 0)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)bytes;
#endif
}

} // namespace kpx
