#include "zip/central/HeaderFields.h"

#include "zip/central/ZipFormat.h"
#include "zip/base/LogBase.h"

namespace vexmar {

using namespace zipfmt;

void parseHeaderFields(const uint8_t* at, ZipHeaderFields& h) {
    h.versionNeeded = le16(at);
    h.flags = le16(at + 2);
    h.method = le16(at + 4);
    h.dosTime = le16(at + 6);
    h.dosDate = le16(at + 8);
    h.crc32 = le32(at + 10);
    h.compressedSize = le32(at + 14);
    h.uncompressedSize = le32(at + 18);
    h.nameLength = le16(at + 22);
    h.extraLength = le16(at + 24);
}

void logHeaderFields(const ZipHeaderFields& h, LogBase& log) {
    log.logDataInt("versionNeeded", h.versionNeeded);
    log.logDataInt("compressionMethod", h.method);
    log.logDataHex("bitFlags", h.flags);
    if (h.flags & kFlagDataDescriptor)
        log.logInfo("A data descriptor follows the file data.");
    log.logDataHex("crc", h.crc32);
    log.logDataInt64("compressedSize", h.compressedSize);
    log.logDataInt64("uncompressedSize", h.uncompressedSize);
}

} // namespace vexmar
