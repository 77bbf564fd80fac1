// The way back from UTF-16 for a table code page: an open-addressing hash
// from a UTF-16 unit to the byte sequence (1 to 4 bytes) that encodes it.
#pragma once

#include <cstdint>

namespace vexmar {

class ReverseMap {
public:
    // A map with room for `count` units; null when memory runs out.
    static ReverseMap* create(uint32_t count);
    ~ReverseMap();
    ReverseMap(const ReverseMap&) = delete;
    ReverseMap& operator=(const ReverseMap&) = delete;

    // The first sequence given for a unit is kept.
    void insert(char16_t unit, const uint8_t* bytes, uint8_t length);
    // The sequence's length, 0 when the unit has none.
    uint8_t find(char16_t unit, uint8_t bytes[4]) const;

private:
    struct Slot {
        char16_t unit;
        uint8_t length; // 0: empty
        uint8_t bytes[4];
    };
    ReverseMap(Slot* slots, uint32_t mask) : slots_(slots), mask_(mask) {}
    uint32_t home(char16_t unit) const { return (uint32_t(unit) * 2654435761u >> 7) & mask_; }

    Slot* slots_;
    uint32_t mask_;
};

} // namespace vexmar
