// The engine's recursive lock.
#pragma once

#include "os/Lock.h"

#include <cstdint>

namespace vexmar {

class VexmarCritSec {
public:
    VexmarCritSec();
    // Enters and leaves once, so that a current holder finishes first.
    virtual ~VexmarCritSec();
    VexmarCritSec(const VexmarCritSec&) = delete;
    VexmarCritSec& operator=(const VexmarCritSec&) = delete;

    void enterCriticalSection();
    void leaveCriticalSection();

private:
    uint32_t tag_;
    os::RecursiveLock lock_;
};

} // namespace vexmar
