#include "zip/facade/ZipFileCheck.h"

#include "zip/base/ByteOrder.h"
#include "zip/base/LogBase.h"
#include "zip/base/XString.h"
#include "zip/base/fs/FileSys.h"

#include <algorithm>
#include <vector>

namespace vexmar {

namespace {

constexpr uint32_t kEndRecordSize = 22;
constexpr uint32_t kMaxComment = 0xFFFF;
constexpr uint32_t kLocatorSize = 20;
constexpr uint32_t kZip64EndRecordSize = 56;
constexpr uint32_t kSignatureSize = 4;

bool hasSignature(const uint8_t* p, uint8_t third, uint8_t fourth) {
    return p[0] == 'P' && p[1] == 'K' && p[2] == third && p[3] == fourth;
}

// [offset, offset + length) lies within [0, limit); nothing here can wrap.
bool within(uint64_t offset, uint64_t length, uint64_t limit) {
    return offset <= limit && length <= limit - offset;
}

struct CentralDirectory {
    uint64_t entries = 0;
    uint64_t size = 0;
    uint64_t offset = 0;
    uint64_t endRecord = 0; // where the (Zip64) end record starts
};

// The Zip64 end record that a saturated end record at `at` stands for.
bool readZip64Record(const ZipReadAt& readAt, uint64_t at, CentralDirectory& cd) {
    uint8_t locator[kLocatorSize];
    if (at < kLocatorSize || !readAt(at - kLocatorSize, locator, kLocatorSize) ||
        !hasSignature(locator, 6, 7))
        return false;
    const uint64_t record = vexmar::le64(locator + 8);
    uint8_t z[kZip64EndRecordSize];
    if (!within(record, kZip64EndRecordSize, at - kLocatorSize) ||
        !readAt(record, z, kZip64EndRecordSize) || !hasSignature(z, 6, 6))
        return false;
    cd = {vexmar::le64(z + 32), vexmar::le64(z + 40), vexmar::le64(z + 48), record};
    return true;
}

// The end record nearest to the end of the file: it and its comment lie in the
// last 22 + 65535 bytes.
bool findCentralDirectory(uint64_t size, const ZipReadAt& readAt, CentralDirectory& cd) {
    if (size < kEndRecordSize)
        return false;
    const uint64_t tailLength = std::min<uint64_t>(size, kEndRecordSize + kMaxComment);
    const uint64_t tailStart = size - tailLength;
    std::vector<uint8_t> tail(tailLength);
    if (!readAt(tailStart, tail.data(), uint32_t(tailLength)))
        return false;
    for (uint64_t i = tailLength - kEndRecordSize + 1; i-- > 0;) {
        const uint8_t* e = tail.data() + i;
        if (!hasSignature(e, 5, 6))
            continue;
        cd = {vexmar::le16(e + 10), vexmar::le32(e + 12), vexmar::le32(e + 16), tailStart + i};
        if (cd.entries != 0xFFFF && cd.size != 0xFFFFFFFF && cd.offset != 0xFFFFFFFF)
            return true;
        return readZip64Record(readAt, tailStart + i, cd);
    }
    return false;
}

bool signatureAt(const ZipReadAt& readAt, uint64_t offset, uint64_t limit) {
    uint8_t bytes[kSignatureSize];
    return within(offset, kSignatureSize, limit) && readAt(offset, bytes, kSignatureSize) &&
           hasSignature(bytes, 1, 2);
}

// Reads through the open file, refusing anything past its end.
bool readFileAt(VexmarHandle& file, uint64_t size, uint64_t offset, uint8_t* out,
                uint32_t length) {
    if (!within(offset, length, size) || !file.seekAbsolute(int64_t(offset), nullptr))
        return false;
    while (length > 0) {
        uint32_t count = 0;
        bool atEnd = false;
        if (!file.read(out, length, count, atEnd, nullptr) || count == 0)
            return false;
        out += count;
        length -= count;
    }
    return true;
}

} // namespace

ZipCheck checkZipDirectory(uint64_t size, const ZipReadAt& readAt) {
    CentralDirectory cd;
    if (!findCentralDirectory(size, readAt, cd))
        return ZipCheck::NotAZip;
    if (cd.entries == 0)
        return ZipCheck::NoEntries;
    // The directory sits just before the end record; an archive with bytes in
    // front of it (a self-extractor) names its offset without them.
    const bool found = cd.size >= kSignatureSize && cd.size <= cd.endRecord &&
                       (signatureAt(readAt, cd.endRecord - cd.size, cd.endRecord) ||
                        signatureAt(readAt, cd.offset, cd.endRecord));
    return found ? ZipCheck::HasEntries : ZipCheck::NotAZip;
}

bool zipFileHasEntries(const XString& path, LogBase& log) {
    VexmarHandle file = FileSys::openForReadWin32(path, nullptr, &log);
    int64_t size = 0;
    ZipCheck verdict = ZipCheck::NotAZip;
    if (file.isOpen() && file.size64(size, &log) && size > 0) {
        verdict = checkZipDirectory(uint64_t(size), [&](uint64_t offset, uint8_t* out,
                                                        uint32_t length) {
            return readFileAt(file, uint64_t(size), offset, out, length);
        });
    }
    if (verdict == ZipCheck::HasEntries)
        return true;
    log.logError(verdict == ZipCheck::NoEntries ? "The ZIP file has no entries"
                                                : "The ZIP file cannot be opened");
    log.logDataStr("zipFilename", path);
    return false;
}

} // namespace vexmar
