// Parsing an entry's central header: fixed fields, name, extra fields, comment.
#include "zip/central/HeaderFields.h"
#include "zip/central/MemoryData.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/central/ZipFormat.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"

namespace vexmar {

using namespace zipfmt;

namespace {

void parseFixedFields(const uint8_t* p, CentralHeader& h) {
    h.versionMadeBy = le16(p + 4);
    parseHeaderFields(p + 6, h);
    h.commentLength = le16(p + 32);
    h.diskNumberStart = le16(p + 34);
    h.internalAttributes = le16(p + 36);
    h.externalAttributes = le32(p + 38);
    h.localHeaderOffset = le32(p + 42);
}

void logFixedFields(const CentralHeader& h, LogBase& log) {
    LogContextExitor ctx(log, "centralDirHeader");
    log.logDataInt("versionMadeBy", h.versionMadeBy);
    logHeaderFields(h, log);
}

uint64_t orZero(uint32_t field) {
    return field == kSaturated32 ? 0 : field;
}

// Takes the next 8-byte value of a Zip64 field when the header's field is saturated.
void takeZip64(uint32_t headerField, const uint8_t* data, uint32_t length, uint32_t& pos,
               uint64_t& value) {
    if (headerField != kSaturated32 || length - pos < 8)
        return;
    value = le64(data + pos);
    pos += 8;
}

} // namespace

bool ZipEntryMapped::loadCentralDirInfo(const MemoryData& image, uint64_t offset, LogBase& log) {
    ZipEntryInfo& info = infoRef();
    if (info.centralLoaded)
        return true;
    LogContextExitor ctx(log, "loadCentralDirInfo");
    const bool verbose = log.isVerbose();

    const uint8_t* p = image.getBytes(offset, kCentralHeaderSize, log);
    if (!p) {
        log.logError("Failed to read central dir header.");
        log.logDataInt64("filePosition", static_cast<int64_t>(offset));
        return false;
    }
    CentralHeader& h = info.central;
    parseFixedFields(p, h);
    if (verbose)
        logFixedFields(h, log);
    info.centralHeaderOffset = offset;
    info.compressedSize = orZero(h.compressedSize);
    info.uncompressedSize = orZero(h.uncompressedSize);
    info.localOffset64 = orZero(h.localHeaderOffset);
    info.actualMethod = h.method;

    uint64_t pos = offset + kCentralHeaderSize;
    if (h.nameLength != 0) {
        const uint8_t* name = image.getBytes(pos, h.nameLength, log);
        if (!name) {
            log.logError("Failed to read central dir filename");
            log.logDataInt64("filePosition", static_cast<int64_t>(pos));
            return false;
        }
        info.rawName.setString(reinterpret_cast<const char*>(name), h.nameLength);
        if (verbose)
            log.logDataQP("filenameQP", name, h.nameLength);
        pos += h.nameLength;
    }

    if (h.extraLength != 0) {
        const uint8_t* extra = image.getBytes(pos, h.extraLength, log);
        if (!extra) {
            log.logError("Failed to get central dir extra fields");
            log.logDataInt64("filePosition", static_cast<int64_t>(pos));
            return false;
        }
        if (!parseCentralExtra(extra, h.extraLength, log))
            return false;
        pos += h.extraLength;
    }
    info.localHeaderOffset = info.localOffset64;

    if (h.commentLength != 0) {
        const uint8_t* comment = image.getBytes(pos, h.commentLength, log);
        if (!comment) {
            log.logError("Failed to get central dir comment");
            log.logDataInt64("filePosition", static_cast<int64_t>(pos));
            return false;
        }
        info.comment = std::make_unique<StringBuffer>();
        info.comment->setString(reinterpret_cast<const char*>(comment), h.commentLength);
    }

    decodeName(log);
    info.centralLoaded = true;
    return true;
}

bool ZipEntryMapped::parseCentralExtra(const uint8_t* extra, uint32_t length, LogBase& log) {
    LogContextExitor ctx(log, "parseCentralDirExtraFields");
    const bool verbose = log.isVerbose();
    ZipEntryInfo& info = *info_;
    const CentralHeader& h = info.central;

    // A run of fewer than 4 bytes at the end is padding, not a field.
    for (uint32_t pos = 0; length - pos >= 4;) {
        const uint16_t id = le16(extra + pos);
        const uint16_t len = le16(extra + pos + 2);
        pos += 4;
        if (verbose) {
            log.logDataHex("ExtraHeaderId", id);
            log.logDataInt("ExtraHeaderLen", len);
        }
        if (len > length - pos) {
            log.logError("Extra field runs past the end of the extra data.");
            log.logDataHex("ExtraHeaderId", id);
            log.logDataInt("ExtraHeaderLen", len);
            log.logDataInt("bytesRemaining", static_cast<int>(length - pos));
            return false;
        }
        const uint8_t* data = extra + pos;
        switch (id) {
        case kExtraZip64: {
            uint32_t at = 0;
            takeZip64(h.uncompressedSize, data, len, at, info.uncompressedSize);
            takeZip64(h.compressedSize, data, len, at, info.compressedSize);
            takeZip64(h.localHeaderOffset, data, len, at, info.localOffset64);
            break;
        }
        case kExtraWinZipAes:
            info.encryption = encryptionNumber(Encryption::kWinZipAes);
            info.keyLength = 128;
            if (len >= 2)
                info.aesVendorVersion = le16(data);
            if (len >= 5) {
                if (data[4] == 2)
                    info.keyLength = 192;
                else if (data[4] == 3)
                    info.keyLength = 256;
            }
            if (len >= 7)
                info.actualMethod = le16(data + 5);
            if (verbose) {
                log.logInfo("WinZip AES extra header.");
                log.logDataInt("actualCompressionMethod", info.actualMethod);
                log.logDataInt("keyLength", info.keyLength);
            }
            break;
        case kExtraUnicodePath:
            if (len > 5) {
                info.decodedName = std::make_unique<StringBuffer>();
                info.decodedName->setString(reinterpret_cast<const char*>(data + 5), len - 5u);
                if (verbose) {
                    log.logInfo("Info-ZIP Unicode Path Extra Field");
                    log.logDataSb("infoZipUtf8Filename", *info.decodedName);
                }
            }
            break;
        case kExtraStrongEncryption:
            if (verbose) {
                log.logInfo("Strong Encryption Header (0x0017)");
                if (len >= 8) {
                    log.logDataInt("Format", le16(data));
                    log.logDataHex("AlgId", le16(data + 2));
                    log.logDataInt("Bitlen", le16(data + 4));
                    log.logDataHex("Flags", le16(data + 6));
                }
            }
            break;
        default:
            break;
        }
        pos += len;
    }
    return true;
}

} // namespace vexmar
