#include "zip/archive/ClsZip2.h"

#include "zip/archive/ZipSystem.h"
#include "zip/base/LogBase.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace vexmar {

namespace {
std::atomic<int32_t> nextArchiveId{0};
}

ClsZip2::ClsZip2(ZipSystem* system) : system_(system), id_(nextArchiveId.fetch_add(1)) {
    name_.setFromUtf8("unnamed.zip");
    password_.setWipe(true);
}

ClsZip2::~ClsZip2() = default;

uint32_t ClsZip2::numEntries() const {
    return system_->numEntries();
}

ZipEntryBase* ClsZip2::entryAt(uint32_t i) const {
    return system_->entryAt(i);
}

void ClsZip2::closeArchive() {
    end_ = EndRecordInfo{};
    comment_.clear();
    image_.release();
    system_->discardEntries();
}

void ClsZip2::CloseZip() {
    beginOperation("CloseZip");
    end_ = EndRecordInfo{};
    password_.clear();
    comment_.clear();
    name_.clear();
    image_.release();
    system_->discardEntries();
    system_->keepFirstArchive();
    m_log.leaveContext();
}

void ClsZip2::takeSystemSettings() {
    encryption_ = system_->encryption;
    keyLength_ = system_->keyLength;
    password_.setString(system_->password.getString(), system_->password.getSize());
}

bool ClsZip2::openAdoptedImage(uint8_t* image, uint32_t size, LogBase& log) {
    closeArchive();
    image_.adopt(image, size);
    return openTakenImage(log);
}

bool ClsZip2::openMappedImage(const uint8_t* view, uint32_t size, os::MappingHandle mapping,
                              LogBase& log) {
    closeArchive();
    image_.adoptMapping(view, size, mapping);
    return openTakenImage(log);
}

bool ClsZip2::openTakenImage(LogBase& log) {
    // A failed open keeps nothing: no entries read so far, no image, no mapping.
    if (!openFromMemData(log)) {
        closeArchive();
        return false;
    }
    encryption_ = system_->encryption;
    keyLength_ = system_->keyLength;
    if (encryption_ != 0) {
        log.logDataInt("encryption", encryption_);
        log.logDataInt("keyLength", keyLength_);
    }
    return true;
}

bool ClsZip2::OpenFromMemory(const void* data, uint32_t length) {
    beginOperation("OpenFromMemory");
    const bool ok = openMemoryCopy(data, length, m_log);
    if (!ok)
        closeArchive();
    endOperation(ok);
    return ok;
}

bool ClsZip2::openMemoryCopy(const void* data, uint32_t length, LogBase& log) {
    if (length == 0) {
        log.logError("Data length must be > 0");
        return false;
    }
    log.logDataInt("oemCodePage", system_->oemCodePage);
    takeSystemSettings();
    // The archive keeps a copy of its own, so the caller's bytes may go away.
    auto* copy = static_cast<uint8_t*>(std::malloc(size_t(length) + 32));
    if (!copy) {
        log.logError("Failed to copy zip in-memory zip image.");
        log.logDataInt64("numBytes", length);
        return false;
    }
    std::memcpy(copy, data, length);
    return openAdoptedImage(copy, length, log);
}

} // namespace vexmar
