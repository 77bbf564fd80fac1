// Parsing an entry's local header, which fixes where its data begins.
#include "zip/central/HeaderFields.h"
#include "zip/central/MemoryData.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/central/ZipFormat.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"

namespace vexmar {

using namespace zipfmt;

namespace {

void parseLocalFields(const uint8_t* p, LocalHeader& h) {
    h.signature = le32(p);
    parseHeaderFields(p + 4, h);
}

void logLocalFields(const LocalHeader& h, LogBase& log) {
    LogContextExitor ctx(log, "localFileHeader");
    logHeaderFields(h, log);
}

void logLocalExtraFields(const uint8_t* extra, uint32_t length, LogBase& log) {
    LogContextExitor ctx(log, "localHeaderExtraFields");
    for (uint32_t pos = 0; length - pos >= 4;) {
        const uint16_t len = le16(extra + pos + 2);
        log.logDataHex("extraHeaderId", le16(extra + pos));
        log.logDataInt("extraHeaderLen", len);
        if (len > length - pos - 4)
            break;
        pos += 4 + len;
    }
}

} // namespace

bool ZipEntryMapped::loadLocalFileHeader(const MemoryData& image, LogBase& log) {
    if (!loadCentralDirInfo(image, centralHeaderOffset_, log))
        return false;
    ZipEntryInfo& info = *info_;
    if (info.localLoaded)
        return true;
    LogContextExitor ctx(log, "loadLocalFileHeader");
    const bool verbose = log.isVerbose();

    const uint8_t* p = image.getBytes(info.localHeaderOffset, kLocalHeaderSize, log);
    if (!p) {
        log.logError("Failed to access local file header");
        log.logDataInt64("filePosition", static_cast<int64_t>(info.localHeaderOffset));
        return false;
    }
    LocalHeader& h = info.local;
    parseLocalFields(p, h);
    if (verbose)
        logLocalFields(h, log);

    const uint64_t extraPos = info.localHeaderOffset + kLocalHeaderSize + h.nameLength;
    if (h.extraLength != 0) {
        const uint8_t* extra = image.getBytes(extraPos, h.extraLength, log);
        if (!extra) {
            log.logError("Failed to get extra field after file header");
            log.logDataInt64("filePosition", static_cast<int64_t>(extraPos));
            return false;
        }
        if (h.extraLength == 20 && le32(extra) == kVexmarEncryptionMagic) {
            info.encryption = static_cast<int32_t>(le32(extra + 8));
            info.keyLength = static_cast<int32_t>(le32(extra + 12));
            if (verbose) {
                log.logInfo("Vexmar Encrypted.");
                log.logDataInt("encryption", info.encryption);
                log.logDataInt("keylen", info.keyLength);
            }
        } else if (verbose) {
            logLocalExtraFields(extra, h.extraLength, log);
        }
    }
    info.dataOffset = extraPos + h.extraLength;
    info.localLoaded = true;
    return true;
}

} // namespace vexmar
