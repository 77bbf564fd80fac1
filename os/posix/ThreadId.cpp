#include "os/ThreadId.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace os {

uint64_t currentThreadId() {
    return uint64_t(syscall(SYS_gettid));
}

} // namespace os
