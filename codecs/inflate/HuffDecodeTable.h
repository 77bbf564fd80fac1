// A Huffman decode table in levels: a root table indexed by the next bits of the stream, whose
// entries give a symbol or lead to a sub-table for the longer codes that share a prefix.
#pragma once

#include <cstdint>

class HuffDecodeTable {
public:
    struct Entry {
        HuffDecodeTable* subTable; // owned; null when the entry holds a symbol or nothing
        int16_t symbol;            // -1: no symbol at this entry
        uint8_t bitCount;          // the bits this level consumes
    };

    // Results of decode() besides symbols.
    static constexpr int kNeedMoreBits = -1;
    static constexpr int kInvalidCode = -2;

    static constexpr int kMaxSymbols = 288;
    static constexpr int kMaxRootBits = 9;
    static constexpr int kMaxSubTableBits = 7;

    HuffDecodeTable() = default;
    ~HuffDecodeTable();
    HuffDecodeTable(const HuffDecodeTable&) = delete;
    HuffDecodeTable& operator=(const HuffDecodeTable&) = delete;

    // The canonical code of `count` code lengths (0: the symbol does not occur, at most 15).
    // False when memory runs out; the table is then unusable.
    bool build(const uint8_t* lengths, int count);

    // The symbol whose code starts at bit 0 of `bits`, of which `available` are valid, with
    // `used` set to its code length. kNeedMoreBits when the valid bits do not decide it (nothing
    // is consumed then); kInvalidCode when no symbol has a code that starts with those bits.
    int decode(uint64_t bits, int available, int& used) const;

    uint32_t mask() const { return mask_; }
    const Entry* entries() const { return entries_; }

private:
    bool fillLevel(const uint8_t* lengths, const uint16_t* reversedCodes, const int16_t* symbols,
                   int symbolCount, int consumedBits, int width, bool complete, bool prefixFree);
    void release();

    uint32_t mask_ = 0;
    Entry* entries_ = nullptr;
    // Most tables have no sub-tables; release() then has no entries to visit.
    bool hasSubTables_ = false;
};
