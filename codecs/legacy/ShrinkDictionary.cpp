#include "codecs/legacy/ShrinkDictionary.h"

#include <new>

namespace vexmar {

bool ShrinkDictionary::allocate() {
    prefix_.reset(new (std::nothrow) uint16_t[kCodes]);
    last_.reset(new (std::nothrow) uint8_t[kCodes]);
    if (!prefix_ || !last_)
        return false;
    for (uint32_t code = 0; code < kCodes; ++code) {
        prefix_[code] = code <= kControlCode ? kRoot : kFree;
        last_[code] = uint8_t(code);
    }
    searchFrom_ = top_ = kControlCode + 1;
    return true;
}

uint32_t ShrinkDictionary::nextFree() {
    // Codes below the search point stay in use until the next partial clear, so the search
    // only ever moves forward.
    while (searchFrom_ < kCodes && !isFree(searchFrom_))
        ++searchFrom_;
    return searchFrom_;
}

void ShrinkDictionary::add(uint32_t code, uint32_t prefix, uint8_t last) {
    prefix_[code] = uint16_t(prefix);
    last_[code] = last;
    searchFrom_ = code + 1;
    if (top_ < searchFrom_)
        top_ = searchFrom_;
}

void ShrinkDictionary::partialClear() {
    for (uint32_t code = kControlCode + 1; code < top_; ++code) {
        // Codes from top_ up are free: a code may have one as its prefix only in malformed
        // data, and marking it would make it look used.
        const uint32_t parent = prefix_[code] & ~kHasChild;
        if (parent > kControlCode && parent < top_)
            prefix_[parent] |= kHasChild;
    }
    uint32_t kept = kControlCode + 1;
    for (uint32_t code = kControlCode + 1; code < top_; ++code) {
        if (prefix_[code] & kHasChild) {
            prefix_[code] &= ~kHasChild;
            if (!isFree(code))
                kept = code + 1;
        } else {
            prefix_[code] = kFree;
        }
    }
    searchFrom_ = kControlCode + 1;
    top_ = kept;
}

uint8_t* ShrinkDictionary::expand(uint32_t code, uint8_t* begin, uint8_t* end) const {
    uint8_t* at = end;
    while (code > kControlCode) {
        if (isFree(code) || at == begin)
            return nullptr;
        *--at = last_[code];
        code = prefix_[code];
    }
    if (code == kControlCode || at == begin)
        return nullptr;
    *--at = uint8_t(code);
    return at;
}

} // namespace vexmar
