// A recursive lock that knows which thread holds it. The modules of a process
// share these locks (inside the shared output data), so the owner is kept in the
// lock itself, as the system's thread id, and every module sees the same answer.
#pragma once

#include "os/Lock.h"

#include <atomic>
#include <cstdint>

namespace Quillkit {

class OwnedLock {
public:
    void Enter();
    void Leave();
    bool HeldByThisThread() const;

private:
    os::RecursiveLock lock_;
    std::atomic<uint64_t> owner_{0};
    uint32_t depth_ = 0; // changed only by the owner
};

} // namespace Quillkit
