// Flattening a levelled decode table into the fast loop's single array.
#include "codecs/inflate/FastHuffTable.h"

#include "codecs/inflate/HuffDecodeTable.h"
#include "codecs/inflate/InflateTables.h"

#include <cstring>
#include <new>

namespace {

using Alphabet = FastHuffTable::Alphabet;

uint32_t widthOf(const HuffDecodeTable& table) {
    uint32_t width = 0;
    while ((uint32_t(1) << width) <= table.mask())
        ++width;
    return width;
}

// Each symbol's entry before its code bits are added: literals, lengths and distances with
// their rows, or the mark of a symbol without a row.
struct SymbolWords {
    uint32_t words[HuffDecodeTable::kMaxSymbols];

    SymbolWords(Alphabet alphabet, bool deflate64) : words() {
        const deflate_format::CodeRows& rows = deflate_format::codeRows(deflate64);
        for (int s = 0; s < HuffDecodeTable::kMaxSymbols; ++s) {
            const deflate_format::CodeRow* row = nullptr;
            if (alphabet == Alphabet::kDistance) {
                row = s < rows.distanceCount ? &rows.distances[s] : nullptr;
            } else if (s < deflate_format::kEndOfBlock) {
                words[s] = FastHuffTable::kLiteral | uint32_t(s) << 16;
                continue;
            } else if (s >= deflate_format::kFirstLengthSymbol &&
                       s < deflate_format::kFirstLengthSymbol + deflate_format::kLengthRowCount) {
                row = &rows.lengths[s - deflate_format::kFirstLengthSymbol];
            }
            words[s] = row ? uint32_t(row->base) << 16 | row->extraBits : FastHuffTable::kSlow;
        }
    }

    // The entry of a symbol whose code takes `codeBits` bits at its level, or of no symbol.
    uint32_t entry(int symbol, uint32_t codeBits) const {
        return symbol < 0 ? FastHuffTable::kSlow : words[symbol] + codeBits * 0x101;
    }
};

const SymbolWords& symbolWords(Alphabet alphabet, bool deflate64) {
    static const SymbolWords all[4] = {
        {Alphabet::kLiteralLength, false},
        {Alphabet::kDistance, false},
        {Alphabet::kLiteralLength, true},
        {Alphabet::kDistance, true},
    };
    return all[(alphabet == Alphabet::kDistance ? 1 : 0) + (deflate64 ? 2 : 0)];
}

} // namespace

bool FastHuffTable::build(const HuffDecodeTable& table, Alphabet alphabet, bool deflate64) {
    const SymbolWords& words = symbolWords(alphabet, deflate64);
    const uint32_t baseWidth = widthOf(table);
    const uint32_t baseSize = table.mask() + 1;

    // The table's root, with its links noted for below.
    uint32_t baseWords[uint32_t(1) << HuffDecodeTable::kMaxRootBits];
    uint16_t links[uint32_t(1) << HuffDecodeTable::kMaxRootBits];
    uint32_t linkCount = 0;
    uint32_t subTableSize = 0;
    for (uint32_t i = 0; i < baseSize; ++i) {
        const HuffDecodeTable::Entry& entry = table.entries()[i];
        if (entry.subTable != nullptr) {
            links[linkCount++] = static_cast<uint16_t>(i);
            subTableSize += entry.subTable->mask() + 1;
            baseWords[i] = kSlow; // replaced below
        } else {
            baseWords[i] = words.entry(entry.symbol, entry.bitCount);
        }
    }
    // Without sub-tables every code resolves in the root already; a wider one would only cost
    // the time to fill it.
    const uint32_t rootWidth = alphabet == Alphabet::kLiteralLength &&
                                       baseWidth == HuffDecodeTable::kMaxRootBits && linkCount != 0
                                   ? kLiteralRootBits
                                   : baseWidth;
    const uint32_t rootSize = uint32_t(1) << rootWidth;
    const uint32_t total = rootSize + subTableSize;
    if (total > capacity_) {
        entries_.reset(new (std::nothrow) uint32_t[total]);
        capacity_ = entries_ ? total : 0;
        if (!entries_)
            return false;
    }
    rootMask_ = rootSize - 1;
    uint32_t* const root = entries_.get();

    // The root repeated to fill a wider root; links are filled in below. The sub-tables follow
    // the root, each mirroring one of the table's. Codes are at most 15 bits, so a sub-table
    // never links further; should one, the careful decoder takes it.
    for (uint32_t copy = 0; copy < rootSize; copy += baseSize)
        std::memcpy(root + copy, baseWords, baseSize * sizeof(uint32_t));

    uint32_t next = rootSize;
    const uint32_t extraWidth = rootWidth - baseWidth;
    for (uint32_t k = 0; k < linkCount; ++k) {
        const HuffDecodeTable::Entry& entry = table.entries()[links[k]];
        const HuffDecodeTable& sub = *entry.subTable;
        for (uint32_t j = 0; j <= sub.mask(); ++j) {
            const HuffDecodeTable::Entry& subEntry = sub.entries()[j];
            root[next + j] =
                subEntry.subTable ? kSlow : words.entry(subEntry.symbol, subEntry.bitCount);
        }
        // In a wider root, the sub-table's codes that end within the extra bits resolve at
        // once; the others link to it.
        const uint32_t link = kLink | next << 16 | widthOf(sub) << 8 | entry.bitCount;
        for (uint32_t i = links[k]; i < rootSize; i += baseSize) {
            const HuffDecodeTable::Entry& subEntry = sub.entries()[(i >> baseWidth) & sub.mask()];
            if (subEntry.subTable != nullptr || subEntry.bitCount > extraWidth)
                root[i] = link;
            else
                root[i] = words.entry(subEntry.symbol, entry.bitCount + subEntry.bitCount);
        }
        next += sub.mask() + 1;
    }
    return true;
}
