#include "zip/facade/ClsZip.h"

#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/base/CritSecExitor.h"

#include <memory>

namespace vexmar {

ClsZip::ClsZip() : system_(new ZipSystem) {
    {
        CritSecExitor lock(system_);
        ++system_->refCount;
    }
    auto archive = std::make_unique<ClsZip2>(system_);
    archiveId_ = archive->id();
    CritSecExitor lock(system_);
    system_->addArchive(std::move(archive));
}

ClsZip::~ClsZip() {
    bool last;
    {
        CritSecExitor lock(system_);
        last = --system_->refCount == 0;
    }
    if (last)
        delete system_;
}

ClsZip2* ClsZip::archive() const {
    CritSecExitor lock(system_);
    return system_->findArchive(archiveId_);
}

// The slots below forward to the archive object under this handle's lock.
#define WITH_ARCHIVE(fallback, call)                                                             \
    ClsZip2* zip = archive();                                                                    \
    if (!zip)                                                                                    \
        return fallback;                                                                         \
    CritSecExitor lock(this);                                                                    \
    return zip->call

bool ClsZip::getVerboseLogging() { WITH_ARCHIVE(false, getVerboseLogging()); }
void ClsZip::setVerboseLogging(bool on) { WITH_ARCHIVE(, setVerboseLogging(on)); }
void ClsZip::getDebugLogFilePath(XString& out) { WITH_ARCHIVE(, getDebugLogFilePath(out)); }
void ClsZip::setDebugLogFilePath(const XString& path) { WITH_ARCHIVE(, setDebugLogFilePath(path)); }
void ClsZip::getLastErrorText(XString& out) { WITH_ARCHIVE(, getLastErrorText(out)); }
void ClsZip::getLastErrorXml(XString& out) { WITH_ARCHIVE(, getLastErrorXml(out)); }
void ClsZip::getLastErrorHtml(XString& out) { WITH_ARCHIVE(, getLastErrorHtml(out)); }
bool ClsZip::saveLastError(const XString& path) { WITH_ARCHIVE(false, saveLastError(path)); }
void ClsZip::logException(const char* textUtf8) { WITH_ARCHIVE(, logException(textUtf8)); }
void ClsZip::logBracketedError(const char* operationName, const char* messageUtf8) {
    WITH_ARCHIVE(, logBracketedError(operationName, messageUtf8));
}

#undef WITH_ARCHIVE

} // namespace vexmar
