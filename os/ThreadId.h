// The identity of the calling thread, the same in every module of the process.
#pragma once

#include <cstdint>

namespace os {

// GetCurrentThreadId; elsewhere the kernel's thread id. Never 0.
uint64_t currentThreadId();

} // namespace os
