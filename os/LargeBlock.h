// Memory for a large working set that is read all over at random (a compression model): pages
// are committed as they are first touched, and the system is asked for huge pages where it
// offers them on request, which spares most TLB misses.
#pragma once

#include <cstddef>

namespace os {

// A zero-filled block of `size` bytes, or null when the memory cannot be had.
void* allocateLargeBlock(size_t size);
// Frees a block from allocateLargeBlock; `size` is the size it was asked for.
void freeLargeBlock(void* block, size_t size);

} // namespace os
