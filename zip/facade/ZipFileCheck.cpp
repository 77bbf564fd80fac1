#include "zip/facade/ZipFileCheck.h"

#include "os/FileMapping.h"
#include "zip/core/LogBase.h"
#include "zip/core/XString.h"
#include "zip/fs/FileSys.h"

#include <cstring>

namespace {

constexpr uint64_t kEndRecordSize = 22;
constexpr uint64_t kMaxComment = 0xFFFF;
constexpr uint64_t kLocatorSize = 20;
constexpr uint64_t kZip64EndRecordSize = 56;

uint64_t le(const uint8_t* p, int bytes) {
    uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

bool hasSignature(const uint8_t* p, uint8_t third, uint8_t fourth) {
    return p[0] == 'P' && p[1] == 'K' && p[2] == third && p[3] == fourth;
}

struct CentralDirectory {
    uint64_t entries = 0;
    uint64_t size = 0;
    uint64_t offset = 0;
    uint64_t endRecord = 0; // where the (Zip64) end record starts
};

// The end record, nearest to the end of the file, and the Zip64 end record it may stand for.
bool findCentralDirectory(const uint8_t* data, uint64_t size, CentralDirectory& cd) {
    if (size < kEndRecordSize)
        return false;
    const uint64_t lowest =
        size - kEndRecordSize > kMaxComment ? size - kEndRecordSize - kMaxComment : 0;
    for (uint64_t at = size - kEndRecordSize + 1; at-- > lowest;) {
        const uint8_t* e = data + at;
        if (!hasSignature(e, 5, 6))
            continue;
        cd = {le(e + 10, 2), le(e + 12, 4), le(e + 16, 4), at};
        if (cd.entries != 0xFFFF && cd.size != 0xFFFFFFFF && cd.offset != 0xFFFFFFFF)
            return true;
        if (at < kLocatorSize || !hasSignature(e - kLocatorSize, 6, 7))
            return false;
        const uint64_t record = le(e - kLocatorSize + 8, 8);
        if (record > at - kLocatorSize || at - kLocatorSize - record < kZip64EndRecordSize ||
            !hasSignature(data + record, 6, 6))
            return false;
        const uint8_t* z = data + record;
        cd = {le(z + 32, 8), le(z + 40, 8), le(z + 48, 8), record};
        return true;
    }
    return false;
}

} // namespace

bool zipFileHasEntries(const XString& path, LogBase& log) {
    VexmarHandle file = FileSys::openForReadWin32(path, nullptr, &log);
    int64_t size = 0;
    uint32_t error = 0;
    os::MappingHandle mapping = os::kNoMapping;
    const uint8_t* view = nullptr;
    if (file.isOpen() && file.size64(size, &log) && size > 0 &&
        (mapping = os::createReadOnlyMapping(file.osHandle(), error)) != os::kNoMapping)
        view = static_cast<const uint8_t*>(os::mapReadOnlyView(mapping, uint64_t(size), error));
    CentralDirectory cd;
    bool found = view && findCentralDirectory(view, uint64_t(size), cd);
    // The directory sits just before the end record; an archive with bytes in
    // front of it (a self-extractor) names its offset without them.
    if (found && cd.entries > 0) {
        found = cd.size <= cd.endRecord && cd.size >= 4 &&
                (hasSignature(view + cd.endRecord - cd.size, 1, 2) ||
                 (cd.offset + 4 <= cd.endRecord && hasSignature(view + cd.offset, 1, 2)));
    }
    const bool ok = found && cd.entries > 0;
    if (!ok) {
        log.logError(found ? "The ZIP file has no entries" : "The ZIP file cannot be opened");
        log.logDataStr("zipFilename", path);
    }
    os::unmapView(view, uint64_t(size));
    os::closeMapping(mapping);
    return ok;
}
