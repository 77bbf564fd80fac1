#include "zip/central/ZipEntryMapped.h"

#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/base/fs/DosTime.h"
#include "zip/central/ZipFormat.h"
#include "zip/base/LogNull.h"

namespace vexmar {

ZipEntryMapped::ZipEntryMapped(ZipSystem* system, int32_t archiveId, uint64_t centralHeaderOffset)
    : ZipEntryBase(system, archiveId), centralHeaderOffset_(centralHeaderOffset) {
    kind_ = kMapped;
    flags_ |= kFromCentralHeader;
}

ZipEntryInfo& ZipEntryMapped::infoRef() {
    if (!info_)
        info_ = std::make_unique<ZipEntryInfo>();
    return *info_;
}

const MemoryData* ZipEntryMapped::archiveImage(LogBase& log) const {
    ClsZip2* archive = system() ? system()->findArchive(archiveId()) : nullptr;
    if (!archive) {
        log.logError("The archive of this entry is no longer open.");
        return nullptr;
    }
    return &archive->memoryData();
}

bool ZipEntryMapped::ensureCentralLoaded(LogBase& log) {
    if (info_ && info_->centralLoaded)
        return true;
    const MemoryData* image = archiveImage(log);
    return image && loadCentralDirInfo(*image, centralHeaderOffset_, log);
}

bool ZipEntryMapped::ensureLocalLoaded(LogBase& log) {
    if (info_ && info_->localLoaded)
        return true;
    const MemoryData* image = archiveImage(log);
    return image && loadLocalFileHeader(*image, log);
}

bool ZipEntryMapped::ensureCentralLoaded() {
    LogNull log;
    return ensureCentralLoaded(log);
}

bool ZipEntryMapped::ensureLocalLoaded() {
    LogNull log;
    return ensureLocalLoaded(log);
}

uint32_t ZipEntryMapped::getCrc32() {
    return ensureCentralLoaded() ? info_->central.crc32 : 0;
}

bool ZipEntryMapped::getFileName(StringBuffer& out) {
    out.clear();
    if (replacementName_)
        return out.append(*replacementName_);
    if (!ensureCentralLoaded())
        return false;
    return out.append(info_->decodedName ? *info_->decodedName : info_->rawName);
}

bool ZipEntryMapped::getFileNameHex(StringBuffer& out) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out.clear();
    if (!ensureCentralLoaded())
        return false;
    const StringBuffer& raw = info_->rawName;
    for (uint32_t i = 0; i < raw.getSize(); ++i) {
        const auto b = static_cast<uint8_t>(raw.getString()[i]);
        if (!out.appendChar(kHex[b >> 4]) || !out.appendChar(kHex[b & 15])) {
            out.clear();
            return false;
        }
    }
    return true;
}

uint64_t ZipEntryMapped::getCompressedSize64() {
    return ensureCentralLoaded() ? info_->compressedSize : 0;
}

uint64_t ZipEntryMapped::getUncompressedSize64() {
    return ensureCentralLoaded() ? info_->uncompressedSize : 0;
}

int ZipEntryMapped::getCompressionLevel() {
    return getCompressionMethod() != 0 ? 6 : 0;
}

int ZipEntryMapped::getCompressionMethod() {
    return ensureCentralLoaded() ? info_->actualMethod : 0;
}

bool ZipEntryMapped::isDirectory() {
    if (!ensureCentralLoaded())
        return false;
    if (info_->central.externalAttributes & 0x10)
        return true;
    return info_->central.uncompressedSize == 0 && info_->rawName.lastChar() == '/';
}

os::CalendarTime ZipEntryMapped::getLastModified() {
    if (!ensureCentralLoaded())
        return os::currentUtcTime();
    return decodeDosDateTime(info_->central.dosDate, info_->central.dosTime);
}

bool ZipEntryMapped::getComment(StringBuffer& out) {
    out.clear();
    if (comment_)
        return out.append(*comment_);
    if (!ensureCentralLoaded())
        return false;
    return !info_->comment || out.append(*info_->comment);
}

bool ZipEntryMapped::isPasswordProtected() {
    if (!ensureCentralLoaded())
        return false;
    const CentralHeader& h = info_->central;
    return (h.flags & zipfmt::kFlagEncrypted) && h.method != zipfmt::kMethodWinZipAes &&
           !(h.flags & zipfmt::kFlagStrongEncryption);
}

bool ZipEntryMapped::isWinZipAes() {
    return ensureCentralLoaded() && info_->central.method == zipfmt::kMethodWinZipAes;
}

} // namespace vexmar
