// Building and walking the levelled decode tables. Codes are canonical (RFC 1951 3.2.2) and
// arrive least significant bit first, so every code is bit-reversed before it indexes a table.
#include "codecs/inflate/HuffDecodeTable.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr int kMaxCodeLength = 15;

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
uint16_t reverseBits(uint32_t code, int length) {
    const uint32_t reversed16 =
        uint32_t(kByteReversal.table[code & 0xFF]) << 8 | kByteReversal.table[(code >> 8) & 0xFF];
    return static_cast<uint16_t>(reversed16 >> (16 - length));
}

} // namespace

HuffDecodeTable::~HuffDecodeTable() {
    release();
}

void HuffDecodeTable::release() {
    if (entries_ != nullptr && hasSubTables_)
        for (uint32_t i = 0; i <= mask_; ++i)
            delete entries_[i].subTable;
    delete[] entries_;
    entries_ = nullptr;
    mask_ = 0;
    hasSubTables_ = false;
}

bool HuffDecodeTable::build(const uint8_t* lengths, int count) {
    release();
    count = std::min(count, kMaxSymbols);

    uint32_t lengthCounts[kMaxCodeLength + 1] = {};
    int maxLength = 0;
    for (int s = 0; s < count; ++s) {
        ++lengthCounts[lengths[s]];
        maxLength = std::max<int>(maxLength, lengths[s]);
    }

    // The first code of each length follows the codes of the length below it.
    uint32_t nextCode[kMaxCodeLength + 1] = {};
    lengthCounts[0] = 0;
    for (int length = 1, code = 0; length <= kMaxCodeLength; ++length) {
        code = static_cast<int>((code + lengthCounts[length - 1]) << 1);
        nextCode[length] = static_cast<uint32_t>(code);
    }

    // Codes, and the symbols ordered by code length (then by symbol).
    uint16_t reversedCodes[kMaxSymbols];
    int16_t symbols[kMaxSymbols];
    uint32_t firstOfLength[kMaxCodeLength + 2] = {};
    for (int length = 1; length <= kMaxCodeLength; ++length)
        firstOfLength[length + 1] = firstOfLength[length] + lengthCounts[length];
    for (int s = 0; s < count; ++s) {
        if (lengths[s] == 0)
            continue;
        reversedCodes[s] = reverseBits(nextCode[lengths[s]]++, lengths[s]);
        symbols[firstOfLength[lengths[s]]++] = static_cast<int16_t>(s);
    }
    const int symbolCount = static_cast<int>(firstOfLength[kMaxCodeLength]);

    // Lengths that claim more codes than exist make codes that share prefixes.
    uint32_t claimed = 0;
    for (int length = 1; length <= kMaxCodeLength; ++length)
        claimed += lengthCounts[length] << (kMaxCodeLength - length);
    const bool prefixFree = claimed <= (uint32_t(1) << kMaxCodeLength);
    const bool complete = claimed == (uint32_t(1) << kMaxCodeLength);

    const int rootBits = maxLength <= kMaxRootBits - 1 ? maxLength : kMaxRootBits;
    if (!fillLevel(lengths, reversedCodes, symbols, symbolCount, 0, rootBits, complete,
                   prefixFree)) {
        release();
        return false;
    }
    return true;
}

// One level of 2^width entries for the given symbols (ordered by code length), whose codes all
// share the bits consumed by the levels above. Codes longer than the level reach a sub-table
// through a link entry.
bool HuffDecodeTable::fillLevel(const uint8_t* lengths, const uint16_t* reversedCodes,
                                const int16_t* symbols, int symbolCount, int consumedBits,
                                int width, bool complete, bool prefixFree) {
    const uint32_t size = uint32_t(1) << width;
    entries_ = new (std::nothrow) Entry[size];
    if (entries_ == nullptr)
        return false;
    mask_ = size - 1;

    // An entry of all zeros (no sub-table, no bits) is one no symbol has filled yet.
    int k = 0;
    if (prefixFree) {
        // The level grows by doubling from one entry: each code is written once, when the level
        // is as wide as the code is long, and the copies carry it to every entry it covers.
        std::memset(static_cast<void*>(entries_), 0, sizeof(Entry));
        for (uint32_t filled = 1, rest = 1; rest <= uint32_t(width); ++rest, filled <<= 1) {
            std::memcpy(static_cast<void*>(entries_ + filled), entries_, filled * sizeof(Entry));
            for (; k < symbolCount && uint32_t(lengths[symbols[k]] - consumedBits) == rest; ++k) {
                const int s = symbols[k];
                entries_[(reversedCodes[s] >> consumedBits) & (2 * filled - 1)] =
                    Entry{nullptr, static_cast<int16_t>(s), static_cast<uint8_t>(rest)};
            }
        }
    } else {
        std::memset(static_cast<void*>(entries_), 0, size * sizeof(Entry));
    }

    // The rest: longer codes, and with shared prefixes every code, where an entry keeps the
    // last symbol and the most bits.
    int16_t longSymbols[kMaxSymbols];
    int longCount = 0;
    for (; k < symbolCount; ++k) {
        const int s = symbols[k];
        const int rest = lengths[s] - consumedBits;
        const uint32_t step = uint32_t(1) << rest;
        for (uint32_t i = (reversedCodes[s] >> consumedBits) & mask_; i < size; i += step) {
            entries_[i].symbol = static_cast<int16_t>(s);
            entries_[i].bitCount = std::max<uint8_t>(entries_[i].bitCount, uint8_t(rest));
        }
        if (rest > width)
            longSymbols[longCount++] = static_cast<int16_t>(s);
    }

    // The long symbols grouped by the entry they leave from, each group in the order above:
    // a counting sort, so that every sub-table finds its symbols without a scan of them all.
    // Levels are at most 2^kMaxRootBits entries wide.
    uint16_t groupStart[(uint32_t(1) << kMaxRootBits) + 1];
    uint16_t groupFill[uint32_t(1) << kMaxRootBits];
    int16_t grouped[kMaxSymbols];
    if (longCount > 0) {
        std::memset(groupStart, 0, (size + 1) * sizeof groupStart[0]);
        for (int k = 0; k < longCount; ++k)
            ++groupStart[((reversedCodes[longSymbols[k]] >> consumedBits) & mask_) + 1];
        for (uint32_t i = 0; i < size; ++i)
            groupStart[i + 1] = static_cast<uint16_t>(groupStart[i + 1] + groupStart[i]);
        std::memcpy(groupFill, groupStart, size * sizeof groupFill[0]);
        for (int k = 0; k < longCount; ++k) {
            const int s = longSymbols[k];
            grouped[groupFill[(reversedCodes[s] >> consumedBits) & mask_]++] =
                static_cast<int16_t>(s);
        }
    }

    // An entry whose codes are longer than the level leads to a sub-table for their rest.
    const auto link = [&](uint32_t i) {
        Entry& entry = entries_[i];
        const int subWidth = std::min(entry.bitCount - width, kMaxSubTableBits);
        const int16_t* subSymbols = grouped + groupStart[i];
        const int subCount = groupStart[i + 1] - groupStart[i];
        entry.symbol = -1;
        entry.bitCount = uint8_t(width);
        hasSubTables_ = true;
        entry.subTable = new (std::nothrow) HuffDecodeTable;
        return entry.subTable != nullptr &&
               entry.subTable->fillLevel(lengths, reversedCodes, subSymbols, subCount,
                                         consumedBits + width, subWidth, complete, prefixFree);
    };

    if (complete) {
        // A complete code leaves no entry empty, and only the entries of the long symbols' groups
        // lead further: visiting just those spares a pass over the whole level.
        for (int g = 0; g < longCount;) {
            const uint32_t i = (reversedCodes[grouped[g]] >> consumedBits) & mask_;
            if (!link(i))
                return false;
            g = groupStart[i + 1];
        }
        return true;
    }
    for (uint32_t i = 0; i < size; ++i) {
        Entry& entry = entries_[i];
        if (entry.bitCount == 0) {
            // An empty entry still needs the level's bits before it can call a code invalid:
            // fewer valid bits might belong to a longer code.
            entry.symbol = -1;
            entry.bitCount = uint8_t(width);
            continue;
        }
        if (entry.bitCount <= width)
            continue;
        if (!link(i))
            return false;
    }
    return true;
}

int HuffDecodeTable::decode(uint64_t bits, int available, int& used) const {
    const HuffDecodeTable* table = this;
    int consumed = 0;
    for (;;) {
        const Entry& entry = table->entries_[(bits >> consumed) & table->mask_];
        if (available - consumed < entry.bitCount)
            return kNeedMoreBits;
        consumed += entry.bitCount;
        if (entry.symbol >= 0) {
            used = consumed;
            return entry.symbol;
        }
        if (entry.subTable == nullptr)
            return kInvalidCode;
        table = entry.subTable;
    }
}
