// One Shannon-Fano tree of the implode method: read from its stored form (runs of bit lengths),
// given the codes the method assigns, and decoded through a table indexed by the next bits.
#pragma once

#include "codecs/legacy/LsbBitReader.h"

#include <cstdint>
#include <memory>

namespace vexmar {

class LogBase;

class ShannonFanoTree {
public:
    static constexpr unsigned kMaxSymbols = 256;
    static constexpr unsigned kMaxBitLength = 16;
    // What decode() returns instead of a symbol.
    static constexpr int kEndOfInput = -1;
    static constexpr int kBadCode = -2;

    struct Entry {
        uint16_t code; // bit-reversed: its first bit is bit 0
        uint8_t value;
        uint8_t bitLength;
    };

    // Reads the tree from the input's next bytes. False when the lengths are malformed or cut
    // short (logged), or when memory runs out.
    bool load(LsbBitReader& in, LogBase& log);

    // The next symbol, kEndOfInput when the input ends inside its code, or kBadCode when the
    // bits match no code of the tree.
    int decode(LsbBitReader& in) const {
        const uint16_t slot = lookup_[in.peek(maxBitLength_)];
        const uint64_t left = in.bitsLeft();
        if (slot == 0)
            return left < maxBitLength_ ? kEndOfInput : kBadCode;
        const unsigned bitLength = slot >> 8;
        if (bitLength > left)
            return kEndOfInput;
        in.skip(bitLength);
        return slot & 0xFF;
    }

private:
    bool readLengths(LsbBitReader& in, LogBase& log);
    void sortByLength();
    void assignCodes();
    bool buildLookup();

    Entry entries_[kMaxSymbols] = {};
    unsigned count_ = 0;
    unsigned maxBitLength_ = 0;
    // 2^maxBitLength slots, each 0 (no code) or the bit length above the symbol value.
    std::unique_ptr<uint16_t[]> lookup_;
};

} // namespace vexmar
