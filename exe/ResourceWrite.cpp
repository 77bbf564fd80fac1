// Writing the rebuilt resource section: the directory tables, data entries and
// names are put together in memory, then each leaf's data follows with its
// padding, then "X" bytes fill the section to its raw size.
#include "exe/ExeOutput.h"
#include "exe/ExeResource.h"
#include "exe/PeFormat.h"
#include "exe/ResourceSection.h"
#include "zip/base/LogBase.h"
#include "zip/base/fs/FileSys.h"

#include <vector>

namespace vexmar {

using namespace pe;

namespace {

void putEntry(uint8_t* p, const ResourceDirEntry& entry) {
    putLe32(p, entry.nameOrId);
    putLe32(p + 4, entry.offsetToData);
}

// Everything before the first data block.
std::vector<uint8_t> directoryBytes(const ExeResource& root, uint64_t end) {
    std::vector<uint8_t> bytes(end);
    forEachPreOrder(root, [&](const ExeResource& node) {
        if (node.isDirectory) {
            uint8_t* p = bytes.data() + node.tableOffset;
            const ResourceDirHeader& h = node.dirHeader;
            putLe32(p, h.characteristics);
            putLe32(p + 4, h.timeStamp);
            putLe16(p + 8, h.majorVersion);
            putLe16(p + 10, h.minorVersion);
            putLe16(p + 12, h.namedCount);
            putLe16(p + 14, h.idCount);
            p += kResDirHeaderSize;
            node.forEachChild([&](const ExeResource& child) {
                putEntry(p, child.ownEntry);
                p += kResDirEntrySize;
            });
        } else {
            uint8_t* p = bytes.data() + node.dataEntryOffset;
            putLe32(p, node.dataEntry.dataRva);
            putLe32(p + 4, node.dataEntry.size);
            putLe32(p + 8, node.dataEntry.codePage);
            putLe32(p + 12, node.dataEntry.reserved);
        }
        if (node.isNamed) {
            uint8_t* p = bytes.data() + node.nameOffset;
            putLe16(p, uint16_t(node.name.size()));
            for (size_t i = 0; i < node.name.size(); ++i)
                putLe16(p + 2 + 2 * i, uint16_t(node.name[i]));
        }
    });
    return bytes;
}

// Exactly `size` bytes of the file, read through one fixed buffer so that a
// payload of any size needs no address space of its size: a file that became
// shorter since the layout fails. The buffer is as large as the output's
// gathering limit, so each piece goes straight to the file.
bool copyDataFile(const XString& path, uint32_t size, ExeOutput& out, LogBase& log) {
    if (size == 0)
        return true;
    VexmarHandle file = FileSys::openForReadWin32(path, nullptr, &log);
    if (!file.isOpen())
        return false;
    std::vector<uint8_t> buffer(ExeOutput::kGatherSize);
    for (uint32_t left = size; left > 0;) {
        const uint32_t want = left < buffer.size() ? left : uint32_t(buffer.size());
        uint32_t count = 0;
        bool atEnd = false;
        if (!file.read(buffer.data(), want, count, atEnd, &log))
            return false;
        if (count == 0) {
            log.logError("The resource data file became shorter");
            log.logDataStr("filename", path);
            return false;
        }
        if (!out.write(buffer.data(), count))
            return false;
        left -= count;
    }
    return true;
}

} // namespace

bool writeResources(const ExeResource& root, uint64_t size, uint64_t rawSize, ExeOutput& out,
                    LogBase& log) {
    // Data starts after the last name string (or data entry, or table).
    uint64_t dataStart = size;
    forEachPreOrder(root, [&](const ExeResource& node) {
        if (!node.isDirectory && node.dataOffset < dataStart)
            dataStart = node.dataOffset;
    });
    const std::vector<uint8_t> directory = directoryBytes(root, dataStart);
    if (!out.write(directory.data(), directory.size()))
        return false;
    bool ok = true;
    forEachPreOrder(root, [&](const ExeResource& node) {
        if (node.isDirectory || !ok)
            return;
        ok = node.dataFromFile ? copyDataFile(node.dataFilePath, node.dataSize, out, log)
                               : out.write(node.data, node.dataSize);
        ok = ok && out.fill(0, uint32_t(node.padding));
    });
    return ok && out.fill('X', rawSize - size);
}

} // namespace vexmar
