#include "os/LargeBlock.h"

#include <windows.h>

namespace os {

// Large pages would need the lock-memory privilege, which installers do not hold; committed
// pages still cost nothing until they are touched.
void* allocateLargeBlock(size_t size) {
    if (size == 0)
        return nullptr;
    return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void freeLargeBlock(void* block, size_t) {
    if (block)
        VirtualFree(block, 0, MEM_RELEASE);
}

} // namespace os
