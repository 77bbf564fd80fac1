#include "exe/VersionInfo.h"

#include "exe/ExeImage.h"
#include "exe/PeFormat.h"

#include <algorithm>

namespace {

constexpr uint16_t kRtVersion = 16;
constexpr uint32_t kHeaderSize = 6; // wLength, wValueLength, wType

// One block of the version resource: a length, a value and a key, then its
// children, each starting on a 32-bit boundary counted from the resource's start.
struct Block {
    std::u16string key;
    uint32_t valueOffset = 0; // after the key and its padding
    uint32_t end = 0;         // the offset just past the block
};

uint32_t align4(uint32_t offset) {
    return (offset + 3) & ~3u;
}

// The block at `offset`, which must end within `limit`; false when it does not fit.
bool readBlock(const uint8_t* data, uint32_t offset, uint32_t limit, Block& block) {
    if (offset > limit || limit - offset < kHeaderSize)
        return false;
    const uint32_t length = pe::le16(data + offset);
    if (length < kHeaderSize || length > limit - offset)
        return false;
    block.end = offset + length;
    block.key.clear();
    uint32_t at = offset + kHeaderSize;
    for (;;) {
        if (block.end - at < 2)
            return false;
        const char16_t unit = char16_t(pe::le16(data + at));
        at += 2;
        if (unit == 0)
            break;
        block.key += unit;
    }
    block.valueOffset = align4(at);
    return true;
}

// A text value: the units from `offset` to the first NUL or the block's end.
std::u16string textAt(const uint8_t* data, uint32_t offset, uint32_t end) {
    std::u16string text;
    for (uint32_t at = offset; at < end && end - at >= 2; at += 2) {
        const char16_t unit = char16_t(pe::le16(data + at));
        if (unit == 0)
            break;
        text += unit;
    }
    return text;
}

// The children of a block: from after its value (of `valueBytes`) to its end.
template <typename Visit>
bool forEachChild(const uint8_t* data, const Block& parent, uint32_t valueBytes, Visit visit) {
    if (valueBytes > parent.end - std::min(parent.valueOffset, parent.end))
        return false;
    for (uint32_t at = align4(parent.valueOffset + valueBytes); at < parent.end;) {
        Block child;
        if (!readBlock(data, at, parent.end, child))
            return false;
        if (!visit(child))
            return false;
        at = align4(child.end);
    }
    return true;
}

} // namespace

VersionStrings readVersionStrings(const ExeImage& image) {
    VersionStrings strings;
    const ExeResource* root = image.resources();
    const ExeResource* type = root ? root->idChild(kRtVersion) : nullptr;
    if (!type || type->idChildren.empty())
        return strings;
    const ExeResource* leaf = type->idChildren.front().get();
    if (leaf->isDirectory && !leaf->idChildren.empty())
        leaf = leaf->idChildren.front().get();
    if (leaf->isDirectory || !leaf->data)
        return strings;
    const uint8_t* data = leaf->data;
    Block top;
    if (!readBlock(data, 0, leaf->dataSize, top) || top.key != u"VS_VERSION_INFO")
        return strings;
    const uint32_t fixedSize = pe::le16(data + 2);
    bool tableRead = false;
    const bool ok = forEachChild(data, top, fixedSize, [&](const Block& info) {
        if (info.key != u"StringFileInfo" || tableRead)
            return true;
        return forEachChild(data, info, 0, [&](const Block& table) {
            if (tableRead)
                return true;
            tableRead = true;
            return forEachChild(data, table, 0, [&](const Block& text) {
                strings.emplace_back(text.key, textAt(data, text.valueOffset, text.end));
                return true;
            });
        });
    });
    if (!ok)
        strings.clear();
    return strings;
}
