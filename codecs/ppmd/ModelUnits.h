// The records of the PPMd variant I model as they lie in the sub-allocator's block. Every
// record is addressed by its 32-bit offset from the block's start, and every record lives in
// 12-byte units, so the model takes the same memory (and runs out of it at the same symbol) as
// the encoder's. The types may alias: one unit is a context at one time, a free-list node or a
// pair of symbol states at another.
#pragma once

#include <cstdint>
#include <cstring>

namespace vexmar {

namespace ppmd {

constexpr uint32_t kUnitSize = 12;
constexpr unsigned kIndexCount = 38; // block sizes of the sub-allocator, 1 to 128 units
constexpr unsigned kMaxOrder = 16;
constexpr unsigned kMaxFreq = 124;

// One symbol of a context: its count and the context that follows it (or a position in the
// text area, or 0).
struct [[gnu::may_alias]] State {
    uint8_t symbol;
    uint8_t freq;
    uint8_t successor[4]; // only 2-byte aligned, hence bytes

    uint32_t successorRef() const {
        uint32_t ref;
        std::memcpy(&ref, successor, 4);
        return ref;
    }
    void setSuccessor(uint32_t ref) { std::memcpy(successor, &ref, 4); }
};
static_assert(sizeof(State) == 6);

// Context flags, folded into the SEE and binary-context indexes.
constexpr uint8_t kFlagRescaled = 0x04;
constexpr uint8_t kFlagHighSymbol = 0x08; // some symbol of the context is 0x40 or above
constexpr uint8_t kFlagPrevHigh = 0x10;   // the symbol that led here is 0x40 or above

constexpr uint8_t highSymbolFlag(unsigned symbol) {
    return symbol >= 0x40 ? kFlagHighSymbol : 0;
}
constexpr uint8_t prevHighFlag(unsigned symbol) {
    return symbol >= 0x40 ? kFlagPrevHigh : 0;
}

// A context. With one symbol (numStats 0) the symbol's state sits in place of summFreq and
// stats; with more, stats is the offset of an array of numStats + 1 states.
struct [[gnu::may_alias]] Context {
    uint8_t numStats;
    uint8_t flags;
    uint16_t summFreq;
    uint32_t stats;
    uint32_t suffix;

    State* oneState() { return reinterpret_cast<State*>(&summFreq); }
};
static_assert(sizeof(Context) == kUnitSize);

// A free block of the sub-allocator. Stamp kFreeStamp tells it from a context or a state
// array, whose first four bytes can never all be 0xFF.
struct [[gnu::may_alias]] FreeNode {
    uint32_t stamp;
    uint32_t next;
    uint32_t nu; // size in units
};
static_assert(sizeof(FreeNode) == kUnitSize);

constexpr uint32_t kFreeStamp = 0xFFFFFFFF;

// Secondary escape estimation: the adaptive escape count of a class of contexts.
struct See {
    uint16_t summ;
    uint8_t shift; // how fast summ moves: low values move fast
    uint8_t count; // symbols until shift grows

    // Takes the escape count out of summ.
    uint32_t mean() {
        const uint32_t r = summ >> shift;
        summ = static_cast<uint16_t>(summ - r);
        return r + (r == 0);
    }
    void update() {
        if (shift < 7 && --count == 0) {
            summ = static_cast<uint16_t>(summ << 1);
            count = static_cast<uint8_t>(3 << shift++);
        }
    }
};

} // namespace ppmd

} // namespace vexmar
