#include "os/LargeBlock.h"

#include <cstdint>
#include <sys/mman.h>

namespace os {

namespace {

// Huge pages need blocks aligned to their size.
constexpr size_t kHugePage = size_t{2} << 20;

size_t roundUp(size_t n, size_t unit) {
    return (n + unit - 1) / unit * unit;
}

} // namespace

void* allocateLargeBlock(size_t size) {
    if (size == 0 || size > SIZE_MAX - 2 * kHugePage)
        return nullptr;
    const size_t length = roundUp(size, kHugePage);
    // Map a huge page more than needed and trim to an aligned block.
    const size_t mapped = length + kHugePage;
    void* raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = roundUp(start, kHugePage);
    if (aligned != start)
        munmap(raw, aligned - start);
    const size_t tail = mapped - (aligned - start) - length;
    if (tail != 0)
        munmap(reinterpret_cast<void*>(aligned + length), tail);
#ifdef MADV_HUGEPAGE
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(aligned);
}

void freeLargeBlock(void* block, size_t size) {
    if (block)
        munmap(block, roundUp(size, kHugePage));
}

} // namespace os
