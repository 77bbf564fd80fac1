#include "exe/StringResource.h"

#include "exe/ExeImage.h"
#include "exe/PeFormat.h"

namespace {

// A string table resource holds sixteen strings: block n (from 1) holds the ids
// 16 * (n - 1) to 16 * n - 1.
constexpr uint16_t kRtString = 6;
constexpr uint32_t kStringsPerBlock = 16;

const ExeResource* blockOf(const ExeImage& image, uint32_t id) {
    const ExeResource* root = image.resources();
    if (!root || id / kStringsPerBlock + 1 > 0xFFFF)
        return nullptr;
    const ExeResource* type = root->idChild(kRtString);
    return type ? type->idChild(uint16_t(id / kStringsPerBlock + 1)) : nullptr;
}

// Each string is a 16-bit length in units followed by that many UTF-16 units;
// a block cut short holds no further strings.
bool stringInBlock(const ExeResource& leaf, uint32_t index, std::u16string& text) {
    const uint8_t* p = leaf.data;
    uint64_t left = p ? leaf.dataSize : 0;
    for (uint32_t i = 0;; ++i) {
        if (left < 2)
            return false;
        const uint32_t units = pe::le16(p);
        p += 2;
        left -= 2;
        if (uint64_t(units) * 2 > left)
            return false;
        if (i == index) {
            text.resize(units);
            for (uint32_t u = 0; u < units; ++u)
                text[u] = char16_t(pe::le16(p + 2 * u));
            return units > 0;
        }
        p += 2 * units;
        left -= 2 * uint64_t(units);
    }
}

} // namespace

bool readStringResource(const ExeImage& image, uint32_t id, uint16_t language,
                        std::u16string& text) {
    text.clear();
    const ExeResource* block = blockOf(image, id);
    if (!block)
        return false;
    const uint32_t index = id % kStringsPerBlock;
    if (language != 0)
        if (const ExeResource* leaf = block->idChild(language))
            if (!leaf->isDirectory && stringInBlock(*leaf, index, text))
                return true;
    for (const auto& leaf : block->idChildren)
        if (!leaf->isDirectory && stringInBlock(*leaf, index, text))
            return true;
    text.clear();
    return false;
}
