#include "zip/base/CritSecExitor.h"

#include "zip/base/ValidityTag.h"
#include "zip/base/VexmarCritSec.h"

namespace vexmar {

namespace {
constexpr uint32_t kTag = 0x7521A004;
}

CritSecExitor::CritSecExitor(VexmarCritSec* cs) : tag_(kTag), cs_(cs) {
    if (cs_)
        cs_->enterCriticalSection();
}

CritSecExitor::~CritSecExitor() {
    checkValidityTag(tag_, kTag);
    if (cs_)
        cs_->leaveCriticalSection();
    clearValidityTag(tag_);
}

} // namespace vexmar
