// Turning the central directory into entry objects, and the archive's encryption verdict.
#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/central/ZipFormat.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"

#include <new>

namespace vexmar {

using namespace zipfmt;

bool ClsZip2::openFromMemData(LogBase& log) {
    LogContextExitor ctx(log, "openFromMemData");
    if (!readEndRecords(log)) {
        log.logError("Failed to get central dir locations.");
        return false;
    }
    if (!walkCentralDirectory(log))
        return false;
    decideEncryption(log);
    return true;
}

bool ClsZip2::walkCentralDirectory(LogBase& log) {
    // The entry count alone bounds the walk; every header must lie inside the image,
    // so a count that lies ends the walk at the first header that is not there.
    uint64_t pos = end_.centralDirOffset;
    for (uint64_t i = 0; i < end_.numEntries; ++i) {
        const uint8_t* header = image_.getBytes(pos, kCentralHeaderSize, log);
        if (!header) {
            log.logError("Failed to access Nth central directory header.");
            log.logDataInt64("index", static_cast<int64_t>(i));
            log.logDataInt64("filePos", static_cast<int64_t>(pos));
            return false;
        }
        if (!hasSignature(header, 0x01, 0x02)) {
            log.logInfo("Did not find central file header signature.");
            log.logDataInt64("index", static_cast<int64_t>(i));
            log.logDataInt64("filePos", static_cast<int64_t>(pos));
            return false;
        }

        ZipEntryMapped* entry = new (std::nothrow) ZipEntryMapped(system_, id_, pos);
        if (!entry || !system_->appendEntry(std::unique_ptr<ZipEntryBase>(entry))) {
            log.logOutOfMemory("openFromMemData", sizeof(ZipEntryMapped));
            return false;
        }
        pos += kCentralHeaderSize + le16(header + 28) + le16(header + 30) + le16(header + 32);

        if (m_verboseLogging) {
            LogContextExitor preload(log, "preLoadEntryInfo");
            log.logDataInt64("index", static_cast<int64_t>(i));
            entry->loadLocalFileHeader(image_, log);
        }
    }
    return true;
}

void ClsZip2::decideEncryption(LogBase& log) {
    system_->encryption = zipfmt::encryptionNumber(zipfmt::Encryption::kNone);
    const bool verbose = log.isVerbose();
    for (uint32_t i = 0; i < system_->numEntries(); ++i) {
        ZipEntryBase* entry = system_->entryAt(i);
        if (!entry)
            return;
        if (entry->isDirectory())
            continue;
        if (entry->isWinZipAes()) {
            system_->encryption = zipfmt::encryptionNumber(zipfmt::Encryption::kWinZipAes);
            if (verbose)
                log.logInfo("This zip is AES encrypted.");
        } else if (entry->isPasswordProtected()) {
            system_->encryption = zipfmt::encryptionNumber(zipfmt::Encryption::kPassword);
            if (verbose)
                log.logInfo("This zip is password protected.");
        } else if (verbose) {
            log.logInfo("The 1st non-directory entry in this zip is not encrypted.");
        }
        return;
    }
}

} // namespace vexmar
