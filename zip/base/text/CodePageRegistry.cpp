// Finding a code page's table, and building its lookups on first use.
#include "zip/base/text/CodePageTable.h"
#include "zip/base/text/MappingStream.h"
#include "zip/base/text/PackedTables.h"
#include "zip/base/text/ReverseMap.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace vexmar {

namespace {

const CodePageTable* findIn(const CodePageTable* tables, uint32_t count, int codePage) {
    const CodePageTable* end = tables + count;
    const CodePageTable* it = std::lower_bound(
        tables, end, codePage, [](const CodePageTable& t, int cp) { return t.codePage < cp; });
    return it != end && it->codePage == codePage ? it : nullptr;
}

// The lookups kept for a table, beside the generated table it belongs to.
CodePageLookups& lookupsOf(const CodePageTable& table) {
    const CodePageTable* single = kSingleByteTables;
    if (&table >= single && &table < single + kSingleByteTablesCount)
        return kSingleByteLookups[&table - single];
    return kMultiByteLookups[&table - kMultiByteTables];
}

// One block holds the table and everything it points to.
ForwardTable* buildForward(const CodePageTable& table) {
    // First pass: which lead bytes have rows, how many long sequences.
    bool hasRow[256] = {};
    uint32_t rowCount = 0;
    uint32_t longCount = 0;
    MappingEntry e;
    for (MappingStream s = mappingOf(table); s.next(e);) {
        if (e.length == 2 && !hasRow[e.code >> 8]) {
            hasRow[e.code >> 8] = true;
            ++rowCount;
        } else if (e.length > 2) {
            ++longCount;
        }
    }
    size_t size = sizeof(ForwardTable) + rowCount * 256 * sizeof(char16_t) +
                  longCount * (sizeof(uint32_t) + sizeof(char16_t) + 1);
    auto* block = static_cast<uint8_t*>(std::calloc(1, size));
    if (!block)
        return nullptr;
    auto* forward = reinterpret_cast<ForwardTable*>(block);
    auto* rows = reinterpret_cast<char16_t*>(block + sizeof(ForwardTable));
    auto* longCodes = reinterpret_cast<uint32_t*>(rows + rowCount * 256);
    auto* longUnits = reinterpret_cast<char16_t*>(longCodes + longCount);
    auto* longLengths = reinterpret_cast<uint8_t*>(longUnits + longCount);
    for (uint32_t lead = 0; lead < 256; ++lead) {
        if (hasRow[lead]) {
            forward->rows[lead] = rows;
            rows += 256;
        }
    }
    forward->longCount = longCount;
    forward->longCodes = longCodes;
    forward->longUnits = longUnits;
    forward->longLengths = longLengths;

    if (table.asciiCompatible) {
        for (uint32_t b = 0; b < 0x80; ++b)
            forward->single[b] = char16_t(b);
    }
    // The stream lists shorter sequences first, each length in order, so the
    // long ones arrive sorted by length, then code.
    uint32_t n = 0;
    for (MappingStream s = mappingOf(table); s.next(e);) {
        if (e.length == 1)
            forward->single[e.code & 0xFF] = e.unit;
        else if (e.length == 2)
            const_cast<char16_t*>(forward->rows[e.code >> 8])[e.code & 0xFF] = e.unit;
        else if (n < longCount) {
            longCodes[n] = e.code;
            longLengths[n] = e.length;
            longUnits[n++] = e.unit;
        }
    }
    return forward;
}

// The preferred sequences first, then every sequence lowest first: the first
// sequence inserted for a unit is the one kept.
ReverseMap* buildReverse(const CodePageTable& table) {
    uint32_t count = 0;
    MappingEntry e;
    for (MappingStream s = mappingOf(table); s.next(e);)
        ++count;
    ReverseMap* map = ReverseMap::create(count);
    if (!map)
        return nullptr;
    auto insert = [map](const MappingEntry& entry) {
        if (!entry.unit)
            return;
        uint8_t bytes[4];
        for (uint8_t i = 0; i < entry.length; ++i)
            bytes[i] = uint8_t(entry.code >> 8 * (entry.length - 1 - i));
        map->insert(entry.unit, bytes, entry.length);
    };
    for (PreferredStream s = preferredOf(table); s.next(e);)
        insert(e);
    for (MappingStream s = mappingOf(table); s.next(e);)
        insert(e);
    return map;
}

} // namespace

char16_t ForwardTable::findLong(uint32_t code, uint8_t length) const {
    // Sorted by length, then by code.
    uint32_t low = 0;
    uint32_t high = longCount;
    while (low < high) {
        uint32_t mid = (low + high) / 2;
        if (longLengths[mid] < length || (longLengths[mid] == length && longCodes[mid] < code))
            low = mid + 1;
        else
            high = mid;
    }
    if (low < longCount && longLengths[low] == length && longCodes[low] == code)
        return longUnits[low];
    return 0;
}

MappingStream mappingOf(const CodePageTable& table) {
    return MappingStream(unpackedBlock(*table.pack) + table.mappingOffset, table.mappingSize);
}

PreferredStream preferredOf(const CodePageTable& table) {
    return PreferredStream(unpackedBlock(*table.pack) + table.preferredOffset, table.preferredSize);
}

const CodePageTable* findCodePageTable(int codePage) {
    if (codePage == 52936)
        codePage = 936;
    const CodePageTable* t = findIn(kSingleByteTables, kSingleByteTablesCount, codePage);
    if (!t)
        t = findIn(kMultiByteTables, kMultiByteTablesCount, codePage);
    return t && unpackedBlock(*t->pack) ? t : nullptr;
}

const ForwardTable* forwardOf(const CodePageTable& table) {
    CodePageLookups& lookups = lookupsOf(table);
    std::call_once(lookups.forwardOnce, [&] { lookups.forward = buildForward(table); });
    return lookups.forward;
}

const ReverseMap* reverseMapOf(const CodePageTable& table) {
    CodePageLookups& lookups = lookupsOf(table);
    std::call_once(lookups.reverseOnce, [&] { lookups.reverse = buildReverse(table); });
    return lookups.reverse;
}

} // namespace vexmar
