#include "zip/base/text/ReverseMap.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace vexmar {

ReverseMap* ReverseMap::create(uint32_t count) {
    // At most half full, so that probe runs stay short.
    uint32_t size = 16;
    while (size < count * 2)
        size *= 2;
    auto* slots = static_cast<Slot*>(std::calloc(size, sizeof(Slot)));
    if (!slots)
        return nullptr;
    auto* map = new (std::nothrow) ReverseMap(slots, size - 1);
    if (!map)
        std::free(slots);
    return map;
}

ReverseMap::~ReverseMap() {
    std::free(slots_);
}

void ReverseMap::insert(char16_t unit, const uint8_t* bytes, uint8_t length) {
    for (uint32_t i = home(unit);; i = (i + 1) & mask_) {
        Slot& slot = slots_[i];
        if (slot.length == 0) {
            slot.unit = unit;
            slot.length = length;
            std::memcpy(slot.bytes, bytes, length);
            return;
        }
        if (slot.unit == unit)
            return;
    }
}

uint8_t ReverseMap::find(char16_t unit, uint8_t bytes[4]) const {
    for (uint32_t i = home(unit);; i = (i + 1) & mask_) {
        const Slot& slot = slots_[i];
        if (slot.length == 0)
            return 0;
        if (slot.unit == unit) {
            std::memcpy(bytes, slot.bytes, 4);
            return slot.length;
        }
    }
}

} // namespace vexmar
