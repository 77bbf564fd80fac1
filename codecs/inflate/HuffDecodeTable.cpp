// Building the decode tables. Codes are canonical (RFC 1951 3.2.2) and arrive least significant
// bit first, so every code is bit-reversed before it indexes a table.
#include "codecs/inflate/HuffDecodeTable.h"

#include "codecs/inflate/InflateTables.h"

#include <algorithm>
#include <cstring>

namespace vexmar {

namespace {

using Alphabet = HuffDecodeTable::Alphabet;

struct ByteReversal {
    uint8_t table[256];
    constexpr ByteReversal() : table() {
        for (int b = 0; b < 256; ++b)
            for (int i = 0; i < 8; ++i)
                table[b] |= static_cast<uint8_t>(((b >> i) & 1) << (7 - i));
    }
};
constexpr ByteReversal kByteReversal;

// The low `length` bits of the code in reverse order.
uint32_t reverseBits(uint32_t code, int length) {
    const uint32_t reversed16 =
        uint32_t(kByteReversal.table[code & 0xFF]) << 8 | kByteReversal.table[(code >> 8) & 0xFF];
    return reversed16 >> (16 - length);
}

// Each symbol's entry before its code bits are added: literals, lengths and distances with
// their rows, code length symbols as they are, and the marks of the end of block and of symbols
// without a row.
struct SymbolWords {
    uint32_t words[HuffDecodeTable::kMaxSymbols];

    SymbolWords(Alphabet alphabet, bool deflate64) : words() {
        const deflate_format::CodeRows& rows = deflate_format::codeRows(deflate64);
        for (int s = 0; s < HuffDecodeTable::kMaxSymbols; ++s) {
            const deflate_format::CodeRow* row = nullptr;
            if (alphabet == Alphabet::kCodeLength) {
                words[s] = uint32_t(s) << 16;
                continue;
            }
            if (alphabet == Alphabet::kDistance) {
                row = s < rows.distanceCount ? &rows.distances[s] : nullptr;
            } else if (s < deflate_format::kEndOfBlock) {
                words[s] = HuffDecodeTable::kLiteral | uint32_t(s) << 16;
                continue;
            } else if (s == deflate_format::kEndOfBlock) {
                words[s] = HuffDecodeTable::kSlow | HuffDecodeTable::kEndOfBlock;
                continue;
            } else if (s < deflate_format::kFirstLengthSymbol + deflate_format::kLengthRowCount) {
                row = &rows.lengths[s - deflate_format::kFirstLengthSymbol];
            }
            words[s] = row ? uint32_t(row->base) << 16 | row->extraBits : HuffDecodeTable::kSlow;
        }
    }
};

const uint32_t* symbolWords(Alphabet alphabet, bool deflate64) {
    static const SymbolWords all[5] = {
        {Alphabet::kCodeLength, false},   {Alphabet::kLiteralLength, false},
        {Alphabet::kDistance, false},     {Alphabet::kLiteralLength, true},
        {Alphabet::kDistance, true},
    };
    if (alphabet == Alphabet::kCodeLength)
        return all[0].words;
    return all[(alphabet == Alphabet::kDistance ? 2 : 1) + (deflate64 ? 2 : 0)].words;
}

// The entry of a code that takes `codeBits` bits at its level.
uint32_t withCodeBits(uint32_t word, uint32_t codeBits) {
    return word + codeBits * 0x101;
}

// An entry no code reaches. It still needs the level's bits before it can call a code invalid:
// fewer valid bits might belong to a longer code.
uint32_t invalidEntry(uint32_t levelBits) {
    return withCodeBits(HuffDecodeTable::kSlow, levelBits);
}

uint32_t linkEntry(uint32_t offset, uint32_t subBits, uint32_t rootBits) {
    return HuffDecodeTable::kLink | offset << 16 | subBits << 8 | rootBits;
}

} // namespace

void HuffDecodeTable::build(const uint8_t* lengths, int count, Alphabet alphabet, bool deflate64) {
    count = std::min(count, kMaxSymbols);
    // Neighbouring symbols mostly share a length: counting or placing them one after the other
    // makes each step wait for the previous one's update of the same counter. The symbols are
    // taken in four quarters side by side instead, each quarter with counters of its own.
    constexpr int kParts = 4;
    const int quarter = (count + kParts - 1) / kParts;
    int partStart[kParts + 1];
    for (int part = 0; part <= kParts; ++part)
        partStart[part] = std::min(part * quarter, count);
    uint16_t partCounts[kParts][kMaxCodeLength + 1] = {};
    for (int i = 0; i < quarter; ++i)
        for (int part = 0; part < kParts; ++part)
            if (partStart[part] + i < partStart[part + 1])
                ++partCounts[part][lengths[partStart[part] + i]];
    uint32_t lengthCounts[kMaxCodeLength + 1] = {};
    int maxLength = 0;
    for (int length = 1; length <= kMaxCodeLength; ++length) {
        for (int part = 0; part < kParts; ++part)
            lengthCounts[length] += partCounts[part][length];
        if (lengthCounts[length] != 0)
            maxLength = length;
    }

    // The symbols ordered by code length, then by symbol: the order of their canonical codes.
    // Of one length, each quarter's symbols follow those of the quarters before it.
    uint16_t nextOfLength[kParts][kMaxCodeLength + 1];
    int symbolCount = 0;
    for (int length = 1; length <= kMaxCodeLength; ++length)
        for (int part = 0; part < kParts; ++part) {
            nextOfLength[part][length] = static_cast<uint16_t>(symbolCount);
            symbolCount += partCounts[part][length];
        }
    uint16_t sorted[kMaxSymbols];
    for (int i = 0; i < quarter; ++i)
        for (int part = 0; part < kParts; ++part) {
            const int s = partStart[part] + i;
            if (s < partStart[part + 1] && lengths[s] != 0)
                sorted[nextOfLength[part][lengths[s]]++] = static_cast<uint16_t>(s);
        }

    // Lengths that claim more codes than exist make codes that share prefixes.
    uint32_t claimed = 0;
    for (int length = 1; length <= kMaxCodeLength; ++length)
        claimed += lengthCounts[length] << (kMaxCodeLength - length);

    const int root = std::min(maxLength, rootBits(alphabet));
    rootMask_ = (uint32_t(1) << root) - 1;
    const uint32_t* words = symbolWords(alphabet, deflate64);
    if (claimed <= (uint32_t(1) << kMaxCodeLength))
        fillPrefixFree(lengths, sorted, symbolCount, words, root);
    else
        fillSharedPrefixes(lengths, sorted, symbolCount, words, root);

    // The fast loop indexes the literal/length and distance roots with a fixed mask, which
    // keeps a register free for it: a root narrower than that is repeated up to the full
    // width. It is only narrower when no code is longer, so there are no sub-tables to move.
    if (alphabet != Alphabet::kCodeLength) {
        for (uint32_t filled = rootMask_ + 1; filled < fullRootSize(alphabet); filled <<= 1)
            std::memcpy(entries_ + filled, entries_, filled * sizeof(uint32_t));
        rootMask_ = fullRootSize(alphabet) - 1;
    }
}

// Each level grows by doubling from one entry: a code is written once, when the level is as
// wide as the code is long, and the copies carry it to every entry it covers. Codes longer than
// the root come in runs that share a root prefix (canonical codes ascend in this order), and
// each run gets a sub-table as wide as its longest code needs.
void HuffDecodeTable::fillPrefixFree(const uint8_t* lengths, const uint16_t* sorted,
                                     int symbolCount, const uint32_t* words, int rootBits) {
    uint32_t* const root = entries_;
    root[0] = invalidEntry(uint32_t(rootBits));
    int k = 0;
    uint32_t code = 0; // the next canonical code, most significant bit first
    for (int length = 1, filled = 1; length <= rootBits; ++length, filled <<= 1, code <<= 1) {
        std::memcpy(root + filled, root, filled * sizeof(uint32_t));
        for (; k < symbolCount && lengths[sorted[k]] == length; ++k, ++code)
            root[reverseBits(code, length)] = withCodeBits(words[sorted[k]], uint32_t(length));
    }
    if (k == symbolCount)
        return;

    // The longer codes, reversed.
    uint16_t reversed[kMaxSymbols];
    const int firstLong = k;
    for (int length = rootBits + 1; length <= kMaxCodeLength; ++length, code <<= 1)
        for (; k < symbolCount && lengths[sorted[k]] == length; ++k, ++code)
            reversed[k] = static_cast<uint16_t>(reverseBits(code, length));

    uint32_t next = rootMask_ + 1;
    for (int run = firstLong; run < symbolCount;) {
        const uint32_t prefix = reversed[run] & rootMask_;
        int end = run + 1;
        while (end < symbolCount && (reversed[end] & rootMask_) == prefix)
            ++end;
        const int subBits = lengths[sorted[end - 1]] - rootBits;
        uint32_t* const sub = entries_ + next;
        sub[0] = invalidEntry(uint32_t(subBits));
        for (int rest = 1, filled = 1, j = run; rest <= subBits; ++rest, filled <<= 1) {
            std::memcpy(sub + filled, sub, filled * sizeof(uint32_t));
            for (; j < end && lengths[sorted[j]] - rootBits == rest; ++j)
                sub[reversed[j] >> rootBits] = withCodeBits(words[sorted[j]], uint32_t(rest));
        }
        root[prefix] = linkEntry(next, uint32_t(subBits), uint32_t(rootBits));
        next += uint32_t(1) << subBits;
        run = end;
    }
}

// Codes that share prefixes: every code fills every entry it covers, in order, and an entry
// keeps the last symbol and the most bits. Streams no encoder makes; this need not be quick.
void HuffDecodeTable::fillSharedPrefixes(const uint8_t* lengths, const uint16_t* sorted,
                                         int symbolCount, const uint32_t* words, int rootBits) {
    uint16_t reversed[kMaxSymbols];
    for (int k = 0, length = 1, code = 0; k < symbolCount; ++k, ++code) {
        for (; lengths[sorted[k]] > length; ++length)
            code <<= 1;
        reversed[k] = static_cast<uint16_t>(reverseBits(uint32_t(code), length));
    }

    // One level: the symbols of `codes` whose code agrees with `prefix` in the `consumed` bits
    // above it.
    struct Slot {
        int16_t symbol;
        uint8_t bits;
    };
    const auto fill = [&](Slot* slots, int width, int consumed, uint32_t prefix) {
        const uint32_t size = uint32_t(1) << width;
        std::fill(slots, slots + size, Slot{-1, 0});
        for (int k = 0; k < symbolCount; ++k) {
            const int rest = lengths[sorted[k]] - consumed;
            if (rest <= 0 || (reversed[k] & ((uint32_t(1) << consumed) - 1)) != prefix)
                continue;
            for (uint32_t i = (reversed[k] >> consumed) & (size - 1); i < size; i += uint32_t(1) << rest)
                slots[i] = {static_cast<int16_t>(sorted[k]), std::max<uint8_t>(slots[i].bits, uint8_t(rest))};
        }
    };
    const auto entryOf = [&](Slot slot, int width) {
        return slot.symbol < 0 ? invalidEntry(uint32_t(width))
                               : withCodeBits(words[slot.symbol], slot.bits);
    };

    Slot rootSlots[uint32_t(1) << kLiteralLengthRootBits];
    Slot subSlots[uint32_t(1) << (kMaxCodeLength - kDistanceRootBits)];
    fill(rootSlots, rootBits, 0, 0);
    uint32_t next = rootMask_ + 1;
    for (uint32_t i = 0; i <= rootMask_; ++i) {
        if (rootSlots[i].bits <= rootBits) {
            entries_[i] = entryOf(rootSlots[i], rootBits);
            continue;
        }
        const int subBits = rootSlots[i].bits - rootBits;
        fill(subSlots, subBits, rootBits, i);
        for (uint32_t j = 0; j < (uint32_t(1) << subBits); ++j)
            entries_[next + j] = entryOf(subSlots[j], subBits);
        entries_[i] = linkEntry(next, uint32_t(subBits), uint32_t(rootBits));
        next += uint32_t(1) << subBits;
    }
}

} // namespace vexmar
