#include "exe/StringBlock.h"

#include "exe/PeFormat.h"

namespace vexmar {

StringBlock decodeStringBlock(const uint8_t* data, uint32_t size) {
    StringBlock block;
    const uint8_t* p = data;
    uint64_t left = p ? size : 0;
    for (std::u16string& text : block) {
        if (left < 2)
            break;
        const uint32_t units = le16(p);
        p += 2;
        left -= 2;
        if (uint64_t(units) * 2 > left)
            break;
        text.resize(units);
        for (uint32_t u = 0; u < units; ++u)
            text[u] = char16_t(le16(p + 2 * u));
        p += 2 * units;
        left -= 2 * uint64_t(units);
    }
    return block;
}

bool encodeStringBlock(const StringBlock& block, std::vector<uint8_t>& data) {
    data.clear();
    for (const std::u16string& text : block) {
        if (text.size() > 0xFFFF)
            return false;
        const size_t at = data.size();
        data.resize(at + 2 + 2 * text.size());
        putLe16(&data[at], uint16_t(text.size()));
        for (size_t u = 0; u < text.size(); ++u)
            putLe16(&data[at + 2 + 2 * u], uint16_t(text[u]));
    }
    return true;
}

} // namespace vexmar
