#include "os/ThreadId.h"

#include <windows.h>

namespace os {

uint64_t currentThreadId() {
    return GetCurrentThreadId();
}

} // namespace os
