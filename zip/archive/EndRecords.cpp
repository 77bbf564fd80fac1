// Finding the end-of-central-directory record and, behind it, the Zip64 records.
#include "zip/archive/ClsZip2.h"
#include "zip/central/ZipFormat.h"
#include "zip/base/LogBase.h"

namespace vexmar {

using namespace zipfmt;

bool ClsZip2::readEndRecords(LogBase& log) {
    end_ = EndRecordInfo{};
    const uint32_t size = image_.size();
    const uint32_t chunkLen = size < kEndChunkSize ? size : kEndChunkSize;
    const uint8_t* chunk = image_.getBytes(size - chunkLen, chunkLen, log);
    if (!chunk) {
        log.logError("Failed to read end chunk.");
        return false;
    }

    // The last signature in the window wins: one inside the comment comes before it.
    int64_t at = static_cast<int64_t>(chunkLen) - 19;
    while (at >= 0 && !hasSignature(chunk + at, 0x05, 0x06))
        --at;
    if (at < 0) {
        log.logError("Failed to find end-of-central-directory-record.");
        return false;
    }
    end_.endRecordOffset = size - chunkLen + static_cast<uint64_t>(at);

    bool haveZip64 = false;
    if (end_.endRecordOffset > 40) {
        const uint8_t* locator =
            image_.getBytes(end_.endRecordOffset - kZip64LocatorSize, kZip64LocatorSize, log);
        if (!locator) {
            log.logError("Failed to check for Zip64 end-of-central-dir-locator.");
            return false;
        }
        if (hasSignature(locator, 0x06, 0x07)) {
            end_.zip64LocatorOffset = end_.endRecordOffset - kZip64LocatorSize;
            log.logInfo("Found Zip64 end-of-central-dir-locator.");
            const uint8_t* field = image_.getBytes(end_.zip64LocatorOffset + 8, 8, log);
            if (!field) {
                log.logError("Failed to get the Zip64 end-of-central-dir-offset.");
                return false;
            }
            const uint64_t recordOffset = le64(field);
            const uint8_t* record = image_.getBytes(recordOffset, kZip64EndRecordSize, log);
            if (!record) {
                log.logError("Failed to read the Zip64 end-of-central-dir-record.");
                return false;
            }
            if (hasSignature(record, 0x06, 0x06)) {
                log.logInfo("Found Zip64 end-of-central-dir-record.");
                end_.zip64EndRecordOffset = recordOffset;
                haveZip64 = true;
            }
        }
    }

    const uint8_t* zip64 = nullptr;
    if (haveZip64) {
        zip64 = image_.getBytes(end_.zip64EndRecordOffset, kZip64EndRecordSize, log);
        if (!zip64) {
            log.logError("Failed to read the Zip64 end-of-central-dir-record.");
            return false;
        }
    }

    const uint8_t* eocd = image_.getBytes(end_.endRecordOffset, kEndRecordSize, log);
    if (!eocd) {
        log.logError("Failed to read the end-of-central-dir-record.");
        return false;
    }

    if (zip64 && eocd[8] == 0xFF && eocd[9] == 0xFF) {
        end_.numEntries = le64(zip64 + 32);
        log.logDataInt64("numCentralDirEntries64", static_cast<int64_t>(end_.numEntries));
    } else {
        end_.numEntries = le16(eocd + 8);
        log.logDataInt64("numCentralDirEntries", static_cast<int64_t>(end_.numEntries));
    }
    if (zip64 && le32(eocd + 12) == kSaturated32) {
        end_.centralDirSize = le64(zip64 + 40);
        log.logDataInt64("szCentralDir64", static_cast<int64_t>(end_.centralDirSize));
    } else {
        end_.centralDirSize = le32(eocd + 12);
        log.logDataInt64("szCentralDir", static_cast<int64_t>(end_.centralDirSize));
    }
    if (zip64 && le32(eocd + 16) == kSaturated32) {
        end_.centralDirOffset = le64(zip64 + 48);
        log.logDataInt64("posCentralDir64", static_cast<int64_t>(end_.centralDirOffset));
    } else {
        end_.centralDirOffset = le32(eocd + 16);
        log.logDataInt64("posCentralDir", static_cast<int64_t>(end_.centralDirOffset));
    }

    const uint16_t commentLen = le16(eocd + 20);
    if (commentLen != 0) {
        log.logDataInt("commentLen", commentLen);
        const uint8_t* comment =
            image_.getBytes(end_.endRecordOffset + kEndRecordSize, commentLen, log);
        if (!comment) {
            log.logError("Failed to read the zip file comment.");
            return false;
        }
        comment_.setString(reinterpret_cast<const char*>(comment), commentLen);
        log.logDataSb("comment", comment_);
    }
    return true;
}

} // namespace vexmar
