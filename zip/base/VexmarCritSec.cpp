#include "zip/base/VexmarCritSec.h"

#include "zip/base/ValidityTag.h"

namespace vexmar {

namespace {
constexpr uint32_t kTag = 0xCBCB2903;
}

VexmarCritSec::VexmarCritSec() : tag_(kTag) {}

VexmarCritSec::~VexmarCritSec() {
    checkValidityTag(tag_, kTag);
    lock_.enter();
    lock_.leave();
    clearValidityTag(tag_);
}

void VexmarCritSec::enterCriticalSection() {
    checkValidityTag(tag_, kTag);
    lock_.enter();
}

void VexmarCritSec::leaveCriticalSection() {
    checkValidityTag(tag_, kTag);
    lock_.leave();
}

} // namespace vexmar
