// A decode table for the fast loop: a HuffDecodeTable flattened into one array of 32-bit words,
// sub-tables after the root, with each symbol's row folded in so that one lookup yields a
// literal, or a length or distance base with the count of extra bits that follow the code.
#pragma once

#include <cstdint>
#include <memory>

class HuffDecodeTable;

class FastHuffTable {
public:
    // An entry, low bits first:
    //   bits 0-7   bits to consume: the code's bits at this level plus any extra bits
    //   bits 8-11  the code's bits at this level (extra bits start there); for a link, the
    //              sub-table's index width
    //   bit 12     link: bits 16-31 are the sub-table's offset in the array
    //   bit 13     slow: a symbol the fast loop leaves to the careful decoder (end of block,
    //              invalid codes and symbols without a row)
    //   bit 14     literal: bits 16-23 are the byte
    //   bits 16-31 the literal, or the base of a length or distance
    static constexpr uint32_t kLink = 1u << 12;
    static constexpr uint32_t kSlow = 1u << 13;
    static constexpr uint32_t kLiteral = 1u << 14;

    enum class Alphabet { kLiteralLength, kDistance };

    // The literal/length root is wider than the table's own, so that the codes of flat
    // distributions (binaries) seldom need a second lookup.
    static constexpr uint32_t kLiteralRootBits = 11;

    // Mirrors `table`, decoding exactly as it does. False when memory runs out.
    bool build(const HuffDecodeTable& table, Alphabet alphabet, bool deflate64);

    const uint32_t* entries() const { return entries_.get(); }
    uint32_t rootMask() const { return rootMask_; }

private:
    // Kept from block to block; it only grows.
    std::unique_ptr<uint32_t[]> entries_;
    uint32_t capacity_ = 0;
    uint32_t rootMask_ = 0;
};

// The bits an entry consumes, and the value it carries with its extra bits added; `bits` is the
// bit buffer as it stood before the entry's code.
inline uint32_t fastEntryBits(uint32_t entry) {
    return entry & 0xFF;
}
inline uint32_t fastEntryValue(uint32_t entry, uint64_t bits) {
    const uint64_t withExtra = bits & ((uint64_t(1) << (entry & 0xFF)) - 1);
    return (entry >> 16) + static_cast<uint32_t>(withExtra >> ((entry >> 8) & 0xF));
}
