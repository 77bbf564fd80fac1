#include "codecs/text/CodePageTable.h"
#include "codecs/text/ReverseMap.h"

const CodePageTable* findCodePageTable(int codePage) {
    uint32_t low = 0;
    uint32_t high = kSingleByteTableCount;
    while (low < high) {
        uint32_t mid = (low + high) / 2;
        if (kSingleByteTables[mid].codePage < codePage)
            low = mid + 1;
        else
            high = mid;
    }
    if (low < kSingleByteTableCount && kSingleByteTables[low].codePage == codePage)
        return &kSingleByteTables[low];
    return nullptr;
}

namespace {

// Lowest byte first, so that a unit several bytes map to goes back to the first.
ReverseMap* buildSingleByteReverse(const CodePageTable& table) {
    ReverseMap* map = ReverseMap::create(256);
    if (!map)
        return nullptr;
    for (uint32_t b = 1; b < 256; ++b) {
        char16_t unit = table.unitOf(uint8_t(b));
        if (unit) {
            uint8_t byte = uint8_t(b);
            map->insert(unit, &byte, 1);
        }
    }
    return map;
}

} // namespace

const ReverseMap* reverseMapOf(const CodePageTable& table) {
    std::call_once(table.reverseOnce, [&table] { table.reverse = buildSingleByteReverse(table); });
    return table.reverse;
}
