#include "flow/HugePages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tvl {

void adviseHugePages(void* begin, std::size_t bytes)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = std::uintptr_t {2} << 20;
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (start + bytes) & ~(kHugePage - 1);
    if (begin != nullptr && last > first)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)begin;
    (void)bytes;
#endif
}

void touchPages(void* begin, std::size_t bytes)
{
    constexpr std::size_t kPage = 4096;
    volatile char* bytesToTouch = static_cast<char*>(begin);
    for (std::size_t at = 0; at < bytes; at += kPage)
        bytesToTouch[at] = 0;
}

} // namespace tvl
