// A Huffman decode table in one array of 32-bit entries: a root indexed by the next bits of the
// stream, and after it the sub-tables for the longer codes that share a root prefix. Each entry
// already holds what its symbol means (a literal, or a length or distance base with the count of
// extra bits that follow the code), so that one lookup serves both the fast loop and the careful
// steps, and no table is built twice.
#pragma once

#include <cstdint>

namespace vexmar {

class HuffDecodeTable {
public:
    // An entry, low bits first:
    //   bits 0-7   bits to consume: the code's bits at this level plus its extra bits; for a
    //              link, the root's width
    //   bits 8-11  the code's bits at this level (extra bits start there); for a link, the
    //              sub-table's width
    //   bit 12     link: bits 16-31 are the sub-table's offset in the array
    //   bit 13     slow: end of block, or a code the decode fails at (no symbol has it, or its
    //              symbol has no row); the fast loop leaves these to the careful steps
    //   bit 14     literal: bits 16-23 are the byte
    //   bit 15     end of block (with slow)
    //   bits 16-31 the literal, the base of a length or distance, or a code length symbol
    static constexpr uint32_t kLink = 1u << 12;
    static constexpr uint32_t kSlow = 1u << 13;
    static constexpr uint32_t kLiteral = 1u << 14;
    static constexpr uint32_t kEndOfBlock = 1u << 15;

    // What the symbols of a table stand for.
    enum class Alphabet { kCodeLength, kLiteralLength, kDistance };

    static constexpr int kMaxSymbols = 288;
    static constexpr int kMaxCodeLength = 15;
    // Wide roots send fewer codes to a sub-table; the literal/length root is the widest, so that
    // even the flat codes of binaries seldom need a second lookup.
    static constexpr int kLiteralLengthRootBits = 11;
    static constexpr int kDistanceRootBits = 9;
    static constexpr int kCodeLengthRootBits = 7; // the longest code length code
    static constexpr int rootBits(Alphabet alphabet) {
        return alphabet == Alphabet::kLiteralLength ? kLiteralLengthRootBits
               : alphabet == Alphabet::kDistance    ? kDistanceRootBits
                                                    : kCodeLengthRootBits;
    }
    // The literal/length and distance roots always have this many entries, however short
    // their codes: the fast loop masks with a constant.
    static constexpr uint32_t fullRootSize(Alphabet alphabet) {
        return uint32_t(1) << rootBits(alphabet);
    }
    // Entries enough for any table of the alphabet: a root, and at most one sub-table per symbol,
    // none wider than the longest code leaves room for. Code length codes fit in the root.
    static constexpr uint32_t capacity(Alphabet alphabet) {
        if (alphabet == Alphabet::kCodeLength)
            return 1u << kCodeLengthRootBits;
        const int symbols = alphabet == Alphabet::kLiteralLength ? kMaxSymbols : 32;
        return (1u << rootBits(alphabet)) + symbols * (1u << (kMaxCodeLength - rootBits(alphabet)));
    }

    // Results of decode() besides code lengths.
    static constexpr int kNeedMoreBits = -1;


    // The careful decode: the entry of the code at the start of `bits`, of which `available` are
    // valid, with the length of that code returned. kNeedMoreBits when the valid bits do not
    // decide it; nothing is consumed then. An entry that is slow but not the end of block means
    // an invalid code.
    int decode(uint64_t bits, int available, uint32_t& entry) const {
        uint32_t found = entries_[bits & rootMask_];
        int consumed = 0;
        if (found & kLink) {
            consumed = static_cast<int>(found & 0xFF);
            if (available < consumed)
                return kNeedMoreBits;
            const uint32_t subMask = (uint32_t(1) << ((found >> 8) & 0xF)) - 1;
            found = entries_[(found >> 16) + ((bits >> consumed) & subMask)];
        }
        const int codeBits = consumed + static_cast<int>((found >> 8) & 0xF);
        if (available < codeBits)
            return kNeedMoreBits;
        entry = found;
        return codeBits;
    }

    const uint32_t* entries() const { return entries_; }
    uint32_t rootMask() const { return rootMask_; }

protected:
    explicit HuffDecodeTable(uint32_t* storage) : entries_(storage) {}
    // The canonical code of `count` code lengths (0: the symbol does not occur, at most 15),
    // with the rows of plain deflate or Deflate64. Lengths that claim more codes than exist make
    // codes that share prefixes: an entry then keeps the last symbol and the most bits.
    void build(const uint8_t* lengths, int count, Alphabet alphabet, bool deflate64);
    HuffDecodeTable(const HuffDecodeTable&) = delete;
    HuffDecodeTable& operator=(const HuffDecodeTable&) = delete;

private:
    void fillPrefixFree(const uint8_t* lengths, const uint16_t* sorted, int symbolCount,
                        const uint32_t* symbolWords, int rootBits);
    void fillSharedPrefixes(const uint8_t* lengths, const uint16_t* sorted, int symbolCount,
                            const uint32_t* symbolWords, int rootBits);

    uint32_t* const entries_;
    uint32_t rootMask_ = 0;
};

// A decode table with room for any code of its alphabet.
template <HuffDecodeTable::Alphabet kAlphabet> class DecodeTableFor : public HuffDecodeTable {
public:
    DecodeTableFor() : HuffDecodeTable(storage_) {}
    void build(const uint8_t* lengths, int count, bool deflate64 = false) {
        HuffDecodeTable::build(lengths, count, kAlphabet, deflate64);
    }

private:
    uint32_t storage_[capacity(kAlphabet)];
};

// The bits an entry consumes, and the value it carries with its extra bits added; `bits` is the
// bit buffer as it stood before the entry's code (at its level).
inline uint32_t entryBits(uint32_t entry) {
    return entry & 0xFF;
}
inline uint32_t entryCodeBits(uint32_t entry) {
    return (entry >> 8) & 0xF;
}
inline uint32_t entryValue(uint32_t entry, uint64_t bits) {
    const uint64_t withExtra = bits & ((uint64_t(1) << (entry & 0xFF)) - 1);
    return (entry >> 16) + static_cast<uint32_t>(withExtra >> ((entry >> 8) & 0xF));
}

} // namespace vexmar
