#include "zip/facade/VxZipW.h"

#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/base/CritSecExitor.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/XString.h"
#include "zip/facade/ClsZip.h"
#include "zip/facade/EmbeddedPayload.h"
#include "zip/facade/VxZipCbW.h"

namespace vexmar {

VxWideCharBase::VxWideCharBase() : impl_(std::make_unique<ClsZip>()) {}
VxWideCharBase::~VxWideCharBase() = default;

VxZipW::VxZipW() = default;
VxZipW::~VxZipW() {
    callback_ = nullptr;
}

namespace {

void setWide(XString& out, const os::wchar* text) {
    out.setFromWide(reinterpret_cast<const char16_t*>(text), os::wideLength(text));
}

} // namespace

bool VxZipW::OpenFromMemory(const void* data, uint32_t length) {
    ClsZip2* zip = impl_->archive();
    if (!zip)
        return false;
    CritSecExitor lock(impl_.get());
    return zip->OpenFromMemory(data, length);
}

bool VxZipW::OpenFromFile(const os::wchar* path) {
    ClsZip2* zip = impl_->archive();
    if (!zip || !path)
        return false;
    XString p;
    setWide(p, path);
    CritSecExitor lock(impl_.get());
    return zip->OpenFromFile(p);
}

bool VxZipW::OpenMyEmbedded(const os::wchar* resourceName) {
    ClsZip2* zip = impl_->archive();
    if (!zip || !resourceName)
        return false;
    XString name;
    setWide(name, resourceName);
    CritSecExitor lock(impl_.get());
    return EmbeddedPayload::open(*zip, "OpenMyEmbedded", nullptr, name);
}

bool VxZipW::OpenEmbedded(const os::wchar* exePath, const os::wchar* resourceName) {
    ClsZip2* zip = impl_->archive();
    if (!zip || !exePath || !resourceName)
        return false;
    XString path;
    XString name;
    setWide(path, exePath);
    setWide(name, resourceName);
    CritSecExitor lock(impl_.get());
    return EmbeddedPayload::open(*zip, "OpenEmbedded", &path, name);
}

bool VxZipW::AddEmbedded(const os::wchar* exeFilename, const os::wchar* resourceName,
                         const os::wchar* zipFilename) {
    ClsZip2* zip = impl_->archive();
    if (!zip || !exeFilename || !resourceName || !zipFilename)
        return false;
    XString exe;
    XString name;
    XString zipFile;
    setWide(exe, exeFilename);
    setWide(name, resourceName);
    setWide(zipFile, zipFilename);
    CritSecExitor lock(impl_.get());
    return EmbeddedPayload::add(*zip, exe, name, zipFile);
}

bool VxZipW::Extract(const os::wchar* directory) {
    VxZipCbW adapter(callback_);
    ProgressEvent* event = callback_ ? &adapter : nullptr;
    ClsZip2* zip = impl_->archive();
    if (!zip)
        return false;
    XString dir;
    if (directory)
        setWide(dir, directory);
    CritSecExitor lock(impl_.get());
    zip->lastErrorLog().clearLog();
    if (event) {
        event->unzipBegin();
        event->progressInfo("unzipBegin", "unzipBegin");
    }
    int32_t count = 0;
    const bool ok = zip->unzipCommon("Extract", dir, nullptr, false, false, event, count);
    if (event) {
        event->unzipEnd();
        event->progressInfo("unzipEnd", "unzipEnd");
    }
    return ok;
}

bool VxZipW::Test() {
    VxZipCbW adapter(callback_);
    ClsZip2* zip = impl_->archive();
    if (!zip)
        return false;
    CritSecExitor lock(impl_.get());
    return zip->testEntries(callback_ ? &adapter : nullptr);
}

// The object lock comes first: an Extract or Test running on another thread holds it, and
// its entries must outlive it.
void VxZipW::CloseZip() {
    CritSecExitor lock(impl_.get());
    ZipSystem& system = impl_->system();
    {
        CritSecExitor systemLock(&system);
        system.discardEntries();
        // The password lives no longer than the archive it was given for.
        system.password.clear();
    }
    if (ClsZip2* zip = impl_->archive())
        zip->CloseZip();
}

// The buffer wipes the old password as the new one replaces it.
void VxZipW::SetPassword(const void* bytes, uint32_t length) {
    impl_->system().password.setString(static_cast<const char*>(bytes), length);
}

void VxZipW::SetOemCodePage(int codePage) {
    impl_->system().oemCodePage = codePage;
}

void VxZipW::SetWorkerCount(uint32_t workers) {
    CritSecExitor lock(impl_.get());
    impl_->system().workers = workers == 0 ? ZipSystem::defaultWorkers() : workers;
}

uint32_t VxZipW::WorkerCount() const {
    CritSecExitor lock(impl_.get());
    return impl_->system().workers;
}

void VxZipW::SetVerboseLogging(bool on) {
    impl_->setVerboseLogging(on);
}

std::string VxZipW::LastErrorXml() const {
    XString xml;
    impl_->getLastErrorXml(xml);
    return xml.getUtf8();
}

uint32_t VxZipW::NumEntries() const {
    CritSecExitor lock(impl_.get());
    return impl_->system().numEntries();
}

bool VxZipW::GetEntryInfo(uint32_t i, VxEntryInfo& info) {
    ClsZip2* zip = impl_->archive();
    if (!zip)
        return false;
    CritSecExitor lock(impl_.get());
    auto* entry = static_cast<ZipEntryMapped*>(impl_->system().entryAt(i));
    Logger& log = zip->lastErrorLog();
    log.clearLog();
    LogContextExitor ctx(log, "GetEntryInfo");
    if (!entry || !entry->ensureCentralLoaded(log))
        return false;
    StringBuffer name;
    if (!entry->getFileName(name)) {
        log.logError("The entry's name could not be read.");
        return false;
    }
    info.nameUtf8.assign(name.getString(), name.getSize());
    info.method = entry->getCompressionMethod();
    info.compressedSize = entry->getCompressedSize64();
    info.size = entry->getUncompressedSize64();
    info.crc32 = entry->getCrc32();
    info.isDirectory = entry->isDirectory();
    return true;
}

} // namespace vexmar
