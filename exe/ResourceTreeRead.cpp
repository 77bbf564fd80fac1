// Building the resource tree from the mapped file. Offsets inside the resource
// directory are checked against the resource section's bytes in the file, and
// a tree that loops or nests absurdly deep is refused.
#include "exe/ExeImage.h"

#include "exe/PeFormat.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"

#include <algorithm>

namespace vexmar {

using namespace pe;

namespace {

// Types, names and languages make a depth of 3; leave room for odd but harmless files.
constexpr int kMaxDepth = 8;
constexpr uint32_t kMaxNodes = 100000;

class TreeReader {
public:
    // `dir` points at the root directory table, `size` bytes of the section follow it.
    TreeReader(const uint8_t* dir, uint32_t size, LogBase& log)
        : dir_(dir), size_(size), log_(log) {}

    // Translates a leaf's data RVA into a range of the mapped file.
    template <typename Translate>
    bool readDirectory(ExeResource& node, uint32_t offset, int depth, Translate& translate);

private:
    bool fits(uint32_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    bool fail(const char* message, uint32_t offset) {
        log_.logError(message);
        log_.logDataHex("offset", offset);
        return false;
    }
    bool readName(ExeResource& node, uint32_t offset);
    template <typename Translate>
    bool readLeaf(ExeResource& node, uint32_t offset, Translate& translate);

    const uint8_t* dir_;
    uint32_t size_;
    LogBase& log_;
    std::vector<uint32_t> path_; // directory offsets from the root down
    uint32_t nodes_ = 1;
};

bool TreeReader::readName(ExeResource& node, uint32_t offset) {
    if (!fits(offset, 2) || !fits(offset + 2, uint64_t(le16(dir_ + offset)) * 2))
        return fail("Resource name lies outside the resource section", offset);
    const uint16_t length = le16(dir_ + offset);
    node.name.resize(length);
    for (uint16_t i = 0; i < length; ++i)
        node.name[i] = char16_t(le16(dir_ + offset + 2 + 2 * i));
    return true;
}

template <typename Translate>
bool TreeReader::readLeaf(ExeResource& node, uint32_t offset, Translate& translate) {
    if (!fits(offset, kResDataEntrySize))
        return fail("Resource data entry lies outside the resource section", offset);
    const uint8_t* p = dir_ + offset;
    node.dataEntry = {le32(p), le32(p + 4), le32(p + 8), le32(p + 12)};
    node.dataSize = node.dataEntry.size;
    if (node.dataSize == 0)
        return true;
    node.data = translate(node.dataEntry.dataRva, node.dataSize);
    if (!node.data) {
        log_.logError("Resource data lies outside the file");
        log_.logDataHex("dataRva", node.dataEntry.dataRva);
        log_.logDataHex("dataSize", node.dataSize);
        return false;
    }
    return true;
}

template <typename Translate>
bool TreeReader::readDirectory(ExeResource& node, uint32_t offset, int depth,
                               Translate& translate) {
    if (depth > kMaxDepth)
        return fail("Resource tree is too deep", offset);
    if (std::find(path_.begin(), path_.end(), offset) != path_.end())
        return fail("Resource tree has a cycle", offset);
    if (!fits(offset, kResDirHeaderSize))
        return fail("Resource directory lies outside the resource section", offset);
    const uint8_t* p = dir_ + offset;
    node.isDirectory = true;
    node.dirHeader = {le32(p), le32(p + 4), le16(p + 8), le16(p + 10), le16(p + 12), le16(p + 14)};
    const uint32_t count = uint32_t(node.dirHeader.namedCount) + node.dirHeader.idCount;
    if (!fits(offset + kResDirHeaderSize, uint64_t(count) * kResDirEntrySize))
        return fail("Resource directory entries lie outside the resource section", offset);
    if (count > kMaxNodes - nodes_)
        return fail("Resource tree has too many entries", offset);
    nodes_ += count;

    path_.push_back(offset);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = p + kResDirHeaderSize + i * kResDirEntrySize;
        auto child = std::make_unique<ExeResource>(node.owner());
        child->ownEntry = {le32(e), le32(e + 4)};
        child->isNamed = (child->ownEntry.nameOrId & kResHighBit) != 0;
        if (child->isNamed) {
            if (!readName(*child, child->ownEntry.nameOrId & ~kResHighBit))
                return false;
        } else {
            child->id = uint16_t(child->ownEntry.nameOrId);
        }
        const uint32_t target = child->ownEntry.offsetToData & ~kResHighBit;
        const bool ok = (child->ownEntry.offsetToData & kResHighBit)
                            ? readDirectory(*child, target, depth + 1, translate)
                            : readLeaf(*child, target, translate);
        if (!ok)
            return false;
        (child->isNamed ? node.namedChildren : node.idChildren).push_back(std::move(child));
    }
    path_.pop_back();
    return true;
}

} // namespace

bool ExeImage::buildResourceTree(LogBase& log) {
    LogContextExitor context(log, "buildResourceTree");
    const uint32_t rva = nt_.dataDirectory(kDirResource).rva;
    if (rva == 0) {
        log.logError("rva is NULL");
        return false;
    }
    const uint8_t* dir = rvaToPtr(rva);
    if (!dir) {
        log.logError("prd is NULL");
        return false;
    }
    // The tree may use the rest of the section's bytes in the file.
    uint64_t end = fileSize_;
    for (const ExeSection& section : loadedSections_) {
        if (section.containsRva(rva)) {
            end = std::min<uint64_t>(end, section.rawEnd());
            break;
        }
    }
    const uint64_t dirOffset = uint64_t(dir - view_);
    const uint32_t size = end > dirOffset ? uint32_t(end - dirOffset) : 0;

    // Data that no section maps is looked for through the resource section.
    const int resourceIndex = resourceSectionIndex();
    auto translate = [&](uint32_t dataRva, uint32_t length) -> const uint8_t* {
        if (const uint8_t* data = rvaRange(dataRva, length))
            return data;
        if (resourceIndex < 0)
            return nullptr;
        const ExeSection& rsrc = loadedSections_[size_t(resourceIndex)];
        if (dataRva < rsrc.virtualAddress)
            return nullptr;
        return fileRange(uint64_t(dataRva - rsrc.virtualAddress) + rsrc.pointerToRawData, length);
    };
    root_ = std::make_unique<ExeResource>(this);
    TreeReader reader(dir, size, log);
    if (!reader.readDirectory(*root_, 0, 0, translate))
        return false;
    if (!root_->isValid()) {
        log.logError("Invalid internal resource object.");
        return false;
    }
    return true;
}

} // namespace vexmar
