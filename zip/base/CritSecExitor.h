// Holds a VexmarCritSec for the lifetime of a scope.
#pragma once

#include <cstdint>

namespace vexmar {

class VexmarCritSec;

class CritSecExitor {
public:
    // A null lock makes the guard do nothing.
    explicit CritSecExitor(VexmarCritSec* cs);
    explicit CritSecExitor(VexmarCritSec& cs) : CritSecExitor(&cs) {}
    ~CritSecExitor();
    CritSecExitor(const CritSecExitor&) = delete;
    CritSecExitor& operator=(const CritSecExitor&) = delete;

private:
    uint32_t tag_;
    VexmarCritSec* cs_;
};

} // namespace vexmar
