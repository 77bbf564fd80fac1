#include "toolkit/diag/OwnedLock.h"

#include "os/ThreadId.h"

namespace Quillkit {

void OwnedLock::Enter() {
    lock_.enter();
    if (depth_++ == 0)
        owner_.store(os::currentThreadId(), std::memory_order_relaxed);
}

void OwnedLock::Leave() {
    if (--depth_ == 0)
        owner_.store(0, std::memory_order_relaxed);
    lock_.leave();
}

bool OwnedLock::HeldByThisThread() const {
    return owner_.load(std::memory_order_relaxed) == os::currentThreadId();
}

} // namespace Quillkit
