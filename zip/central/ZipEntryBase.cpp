#include "zip/central/ZipEntryBase.h"

#include "zip/base/fs/DosTime.h"

#include <atomic>

namespace vexmar {

namespace {
std::atomic<int32_t> nextSerial{0};
}

ZipEntryBase::ZipEntryBase(ZipSystem* system, int32_t archiveId)
    : serial_(nextSerial.fetch_add(1)), system_(system), archiveId_(archiveId) {}

ZipEntryBase::~ZipEntryBase() {
    tag_ = 0;
}

uint32_t ZipEntryBase::getCrc32() {
    return 0;
}

bool ZipEntryBase::getFileName(StringBuffer& out) {
    out.clear();
    return !replacementName_ || out.append(*replacementName_);
}

bool ZipEntryBase::getFileNameHex(StringBuffer& out) {
    out.clear();
    return true;
}
uint64_t ZipEntryBase::getCompressedSize64() {
    return 0;
}
uint64_t ZipEntryBase::getUncompressedSize64() {
    return 0;
}
int ZipEntryBase::getCompressionLevel() {
    return compressionLevel_;
}
int ZipEntryBase::getCompressionMethod() {
    return 0;
}
bool ZipEntryBase::isDirectory() {
    return false;
}
os::CalendarTime ZipEntryBase::getLastModified() {
    return os::currentUtcTime();
}

os::CalendarTime ZipEntryBase::getLastModifiedPreferLocal() {
    if (localTimeValid_)
        return decodeDosDateTime(localDosDate_, localDosTime_);
    return getLastModified();
}

void ZipEntryBase::setLastModified(uint16_t dosDate, uint16_t dosTime) {
    localDosDate_ = dosDate;
    localDosTime_ = dosTime;
    localTimeValid_ = 1;
}

bool ZipEntryBase::getComment(StringBuffer& out) {
    out.clear();
    return !comment_ || out.append(*comment_);
}

void ZipEntryBase::setComment(const char* text) {
    comment_ = std::make_unique<StringBuffer>(text);
}

bool ZipEntryBase::isPasswordProtected() {
    return false;
}
bool ZipEntryBase::isWinZipAes() {
    return false;
}

void ZipEntryBase::setExcluded(bool excluded) {
    flags_ = static_cast<uint8_t>(excluded ? (flags_ | kExcluded) : (flags_ & ~kExcluded));
}

void ZipEntryBase::setReplacementName(const char* nameUtf8) {
    replacementName_ = std::make_unique<StringBuffer>(nameUtf8);
}

bool ZipEntryBase::inflateMappedEntry(const XString&, bool, bool, FailedDirectories&, int32_t&,
                                      ProgressMonitor*, LogBase&, bool) {
    return false;
}

bool ZipEntryBase::mappedInflateToOutput(Output&, ProgressMonitor*, LogBase&, bool) {
    return false;
}

} // namespace vexmar
