#include "exe/VersionInfo.h"

#include "exe/ExeImage.h"
#include "exe/PeFormat.h"
#include "zip/base/LogBase.h"

#include <algorithm>

namespace vexmar {

namespace {

constexpr uint32_t kHeaderSize = 6; // wLength, wValueLength, wType
constexpr uint32_t kFixedSignature = 0xFEEF04BD;
constexpr uint32_t kFixedSize = 52;

// One block of the version resource: a length, a value and a key, then its
// children, each starting on a 32-bit boundary counted from the resource's
// start. Only the root, the two info blocks and the string tables have children.
struct Block {
    std::u16string key;
    uint16_t type = 0; // 1: the value is text
    std::vector<uint8_t> value;
    std::vector<Block> children;
    bool container = false; // holds blocks, and no text even when its type says text
};

uint32_t align4(uint32_t offset) {
    return (offset + 3) & ~3u;
}

bool readBlock(const uint8_t* data, uint32_t offset, uint32_t limit, int depth, bool inStrings,
               Block& block) {
    if (offset > limit || limit - offset < kHeaderSize)
        return false;
    const uint32_t length = le16(data + offset);
    if (length < kHeaderSize || length > limit - offset)
        return false;
    const uint32_t end = offset + length;
    const uint32_t valueLength = le16(data + offset + 2);
    block.type = le16(data + offset + 4);
    uint32_t at = offset + kHeaderSize;
    for (;;) {
        if (end - at < 2)
            return false;
        const char16_t unit = char16_t(le16(data + at));
        at += 2;
        if (unit == 0)
            break;
        block.key += unit;
    }
    at = std::min(align4(at), end);
    // Text lengths count units, with the closing NUL, though some writers count
    // bytes: a text value is read up to its NUL or the block's end.
    uint32_t valueBytes = block.type == 1 ? 2 * valueLength : valueLength;
    valueBytes = std::min(valueBytes, end - at);
    if (block.type == 1) {
        uint32_t units = 0;
        while (2 * units + 2 <= valueBytes && le16(data + at + 2 * units) != 0)
            ++units;
        block.value.assign(data + at, data + at + 2 * units);
    } else {
        block.value.assign(data + at, data + at + valueBytes);
    }
    block.container = depth < 2 || (depth == 2 && inStrings);
    if (!block.container)
        return true;
    for (at = align4(at + valueBytes); at < end;) {
        Block child;
        if (!readBlock(data, at, end, depth + 1, depth == 1 ? block.key == u"StringFileInfo"
                                                            : inStrings,
                       child))
            return false;
        at = align4(at + le16(data + at));
        block.children.push_back(std::move(child));
    }
    return true;
}

void writeBlock(const Block& block, std::vector<uint8_t>& out) {
    out.resize(align4(uint32_t(out.size())));
    const size_t start = out.size();
    out.resize(start + kHeaderSize);
    for (char16_t unit : block.key + u'\0') {
        out.push_back(uint8_t(unit));
        out.push_back(uint8_t(unit >> 8));
    }
    out.resize(align4(uint32_t(out.size())));
    out.insert(out.end(), block.value.begin(), block.value.end());
    uint32_t valueLength = uint32_t(block.value.size());
    if (block.type == 1 && !block.container) {
        out.push_back(0);
        out.push_back(0);
        valueLength = valueLength / 2 + 1;
    }
    for (const Block& child : block.children)
        writeBlock(child, out);
    putLe16(&out[start], uint16_t(out.size() - start));
    putLe16(&out[start + 2], uint16_t(valueLength));
    putLe16(&out[start + 4], block.type);
}

std::vector<uint8_t> textValue(const std::u16string& text) {
    std::vector<uint8_t> bytes;
    for (char16_t unit : text) {
        bytes.push_back(uint8_t(unit));
        bytes.push_back(uint8_t(unit >> 8));
    }
    return bytes;
}

std::u16string textOf(const Block& block) {
    std::u16string text;
    for (size_t i = 0; i + 1 < block.value.size(); i += 2)
        text += char16_t(le16(&block.value[i]));
    return text;
}

const ExeResource* firstVersionLeaf(const ExeImage& image) {
    const ExeResource* root = image.resources();
    const ExeResource* type = root ? root->idChild(restype::kVersion) : nullptr;
    if (!type || type->idChildren.empty())
        return nullptr;
    const ExeResource* leaf = type->idChildren.front().get();
    if (leaf->isDirectory && !leaf->idChildren.empty())
        leaf = leaf->idChildren.front().get();
    return leaf->isDirectory || !leaf->data ? nullptr : leaf;
}

bool readRoot(const ExeResource& leaf, Block& root) {
    return leaf.data && readBlock(leaf.data, 0, leaf.dataSize, 0, false, root) &&
           root.key == u"VS_VERSION_INFO";
}

template <typename Visit> void forEachStringTable(Block& root, Visit visit) {
    for (Block& info : root.children)
        if (info.key == u"StringFileInfo")
            for (Block& table : info.children)
                visit(table);
}

} // namespace

VersionStrings readVersionStrings(const ExeImage& image) {
    VersionStrings strings;
    const ExeResource* leaf = firstVersionLeaf(image);
    Block root;
    if (!leaf || !readRoot(*leaf, root))
        return strings;
    bool first = true;
    forEachStringTable(root, [&](const Block& table) {
        if (first)
            for (const Block& text : table.children)
                strings.emplace_back(text.key, textOf(text));
        first = false;
    });
    return strings;
}

bool editVersionInfo(ExeImage& image, const VersionStrings& values,
                     const std::array<uint16_t, 4>* numbers, LogBase& log) {
    const ResourceKey type = ResourceKey::ofId(restype::kVersion);
    const ExeResource* types = image.resources() ? image.resources()->idChild(restype::kVersion)
                                                 : nullptr;
    if (!types || !types->isDirectory || types->idChildren.empty()) {
        log.logError("The executable has no version resource");
        return false;
    }
    std::vector<std::pair<ResourceKey, uint16_t>> leaves;
    for (const auto& name : types->namedChildren)
        for (uint16_t language : image.languagesOf(type, ResourceKey::ofName(name->name)))
            leaves.emplace_back(ResourceKey::ofName(name->name), language);
    for (const auto& name : types->idChildren)
        for (uint16_t language : image.languagesOf(type, ResourceKey::ofId(name->id)))
            leaves.emplace_back(ResourceKey::ofId(name->id), language);
    for (const auto& [name, language] : leaves) {
        Block root;
        if (!readRoot(*image.findResource(type, name, language), root)) {
            log.logError("The version resource cannot be read");
            return false;
        }
        if (numbers) {
            if (root.value.size() < kFixedSize || le32(root.value.data()) != kFixedSignature) {
                log.logError("The version resource has no fixed version part");
                return false;
            }
            const auto& n = *numbers;
            for (uint32_t at : {8u, 16u}) { // the file, then the product version
                putLe32(&root.value[at], uint32_t(n[0]) << 16 | n[1]);
                putLe32(&root.value[at + 4], uint32_t(n[2]) << 16 | n[3]);
            }
        }
        forEachStringTable(root, [&](Block& table) {
            for (const auto& value : values) {
                auto found = std::find_if(table.children.begin(), table.children.end(),
                                          [&](const Block& b) { return b.key == value.first; });
                if (found == table.children.end())
                    found = table.children.insert(table.children.end(),
                                                  Block{value.first, 1, {}, {}, false});
                found->type = 1;
                found->value = textValue(value.second);
            }
        });
        std::vector<uint8_t> bytes;
        writeBlock(root, bytes);
        if (bytes.size() > 0xFFFF) {
            log.logError("The version resource would be too large");
            return false;
        }
        if (!image.setResource(type, name, language, std::move(bytes), log))
            return false;
    }
    return true;
}

} // namespace vexmar
