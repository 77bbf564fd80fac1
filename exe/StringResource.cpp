#include "exe/StringResource.h"

#include "exe/ExeImage.h"
#include "exe/StringBlock.h"
#include "zip/base/LogBase.h"

namespace vexmar {

namespace {

const ExeResource* blockOf(const ExeImage& image, uint32_t id) {
    const ExeResource* root = image.resources();
    if (!root || id / kStringsPerBlock + 1 > 0xFFFF)
        return nullptr;
    const ExeResource* type = root->idChild(restype::kString);
    return type ? type->idChild(uint16_t(id / kStringsPerBlock + 1)) : nullptr;
}

bool stringInBlock(const ExeResource& leaf, uint32_t index, std::u16string& text) {
    text = decodeStringBlock(leaf.data, leaf.dataSize)[index];
    return !text.empty();
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

bool editStringTables(ExeImage& image, const StringEdit& edit, LogBase& log) {
    const ExeResource* root = image.resources();
    const ExeResource* type = root ? root->idChild(restype::kString) : nullptr;
    if (!type || !type->isDirectory) {
        log.logError("The executable has no string tables");
        return false;
    }
    // The changes are gathered first: setResource reshapes the tree being walked.
    struct Change {
        uint16_t block;
        uint16_t language;
        std::vector<uint8_t> data;
    };
    std::vector<Change> changes;
    for (const auto& blockDir : type->idChildren) {
        if (!blockDir->isDirectory || blockDir->id == 0)
            continue;
        for (const auto& leaf : blockDir->idChildren) {
            if (leaf->isDirectory)
                continue;
            StringBlock block = decodeStringBlock(leaf->data, leaf->dataSize);
            const StringBlock before = block;
            const uint32_t first = (uint32_t(blockDir->id) - 1) * kStringsPerBlock;
            for (uint32_t i = 0; i < kStringsPerBlock; ++i)
                edit(first + i, leaf->id, block[i]);
            if (block == before)
                continue;
            Change change{blockDir->id, leaf->id, {}};
            if (!encodeStringBlock(block, change.data)) {
                log.logError("A string would be longer than 65535 characters");
                return false;
            }
            changes.push_back(std::move(change));
        }
    }
    for (Change& change : changes)
        if (!image.setResource(ResourceKey::ofId(restype::kString),
                               ResourceKey::ofId(change.block), change.language,
                               std::move(change.data), log))
            return false;
    return true;
}

} // namespace vexmar
