// Offsets of the rebuilt resource section and the fix-up of its records.
#include "exe/ExeResource.h"
#include "exe/PeFormat.h"
#include "exe/ResourceSection.h"
#include "zip/base/LogBase.h"
#include "zip/base/fs/FileSys.h"

namespace vexmar {

using namespace pe;

namespace {

// The section must stay addressable with the format's 32-bit fields.
constexpr uint64_t kMaxSectionSize = 0x7FFFFFFF;

bool dataFileSize(const XString& path, uint32_t& size, LogBase& log) {
    VexmarHandle file = FileSys::openForReadWin32(path, nullptr, &log);
    int64_t length = 0;
    if (!file.isOpen() || !file.size64(length, &log) || length > int64_t(kMaxSectionSize)) {
        log.logError("Failed to get the size of the resource data file");
        log.logDataStr("filename", path);
        return false;
    }
    size = uint32_t(length);
    return true;
}

} // namespace

bool layOutResources(ExeResource& root, uint64_t& size, LogBase& log) {
    uint64_t cursor = 0;
    bool ok = true;
    forEachPreOrder(root, [&](ExeResource& node) {
        // A directory table counts each kind of entry in 16 bits.
        if (node.namedChildren.size() > 0xFFFF || node.idChildren.size() > 0xFFFF)
            ok = false;
        if (node.isDirectory) {
            node.tableOffset = uint32_t(cursor);
            cursor += kResDirHeaderSize + uint64_t(kResDirEntrySize) * node.childCount();
        }
    });
    forEachPreOrder(root, [&](ExeResource& node) {
        if (!node.isDirectory) {
            node.dataEntryOffset = uint32_t(cursor);
            cursor += kResDataEntrySize;
        }
    });
    forEachPreOrder(root, [&](ExeResource& node) {
        if (node.isNamed) {
            node.nameOffset = uint32_t(cursor);
            cursor += 2 + 2 * uint64_t(node.name.size());
        }
    });
    if (!ok || cursor > kMaxSectionSize) {
        log.logError("The resource directory would be too large");
        return false;
    }
    forEachPreOrder(root, [&](ExeResource& node) {
        if (node.isDirectory || !ok)
            return;
        if (node.dataFromFile && !dataFileSize(node.dataFilePath, node.dataSize, log)) {
            ok = false;
            return;
        }
        node.dataOffset = uint32_t(cursor);
        cursor += node.dataSize;
        node.padding = int32_t(roundUp(cursor, 8) - cursor);
        cursor += uint32_t(node.padding);
        // Offsets are 32-bit: stop before they could wrap.
        if (cursor > kMaxSectionSize) {
            log.logError("The resource section would be too large");
            ok = false;
        }
    });
    size = cursor;
    return ok;
}

void fixUpResources(ExeResource& root, uint32_t sectionRva) {
    forEachPreOrder(root, [&](ExeResource& node) {
        if (node.isDirectory) {
            node.dirHeader.namedCount = uint16_t(node.namedChildren.size());
            node.dirHeader.idCount = uint16_t(node.idChildren.size());
            node.ownEntry.offsetToData = node.tableOffset | kResHighBit;
        } else {
            node.ownEntry.offsetToData = node.dataEntryOffset;
            node.dataEntry.dataRva = sectionRva + node.dataOffset;
            node.dataEntry.size = node.dataSize;
        }
        node.ownEntry.nameOrId = node.isNamed ? node.nameOffset | kResHighBit : node.id;
    });
}

} // namespace vexmar
