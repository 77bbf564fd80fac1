#include "zip/facade/VxZipCbW.h"

#include <cstring>

namespace vexmar {

namespace {

os::wstring wide(const char* utf8) {
    return utf8 ? os::fromUtf8(utf8, std::strlen(utf8)) : os::wstring();
}

} // namespace

// Every override clears its out flag first; without an application object it stops there.

void VxZipCbW::percentDone(int32_t percent, bool* abort) {
    *abort = false;
    if (app_)
        app_->percentDone(percent, abort);
}

void VxZipCbW::abortCheck(bool* abort) {
    *abort = false;
    if (app_)
        app_->abortCheck(abort);
}

void VxZipCbW::progressInfo(const char* name, const char* value) {
    if (app_)
        app_->progressInfo(wide(name).c_str(), wide(value).c_str());
}

void VxZipCbW::fileToBeAdded(const char* name, int64_t size, bool* exclude) {
    *exclude = false;
    if (app_)
        app_->fileToBeAdded(wide(name).c_str(), size, exclude);
}

void VxZipCbW::dirToBeAdded(const char* name, bool* exclude) {
    *exclude = false;
    if (app_)
        app_->dirToBeAdded(wide(name).c_str(), exclude);
}

void VxZipCbW::fileAdded(const char* name, int64_t size, bool* abort) {
    *abort = false;
    if (app_)
        app_->fileAdded(wide(name).c_str(), size, abort);
}

void VxZipCbW::fileToBeZipped(const char* name, int64_t size, bool* exclude) {
    *exclude = false;
    if (app_)
        app_->fileToBeZipped(wide(name).c_str(), size, exclude);
}

void VxZipCbW::fileZipped(const char* name, int64_t size, int64_t compressedSize, bool* abort) {
    *abort = false;
    if (app_)
        app_->fileZipped(wide(name).c_str(), size, compressedSize, abort);
}

void VxZipCbW::toBeUnzipped(const char* name, int64_t compressedSize, int64_t size,
                            bool isDirectory, bool* exclude) {
    *exclude = false;
    if (app_)
        app_->toBeUnzipped(wide(name).c_str(), compressedSize, size, isDirectory, exclude);
}

void VxZipCbW::skippedForUnzip(const char* name, int64_t compressedSize, int64_t size,
                               bool isDirectory) {
    if (app_)
        app_->skippedForUnzip(wide(name).c_str(), compressedSize, size, isDirectory);
}

void VxZipCbW::fileUnzipped(const char* name, int64_t compressedSize, int64_t size,
                            bool isDirectory, bool* abort) {
    *abort = false;
    if (app_)
        app_->fileUnzipped(wide(name).c_str(), compressedSize, size, isDirectory, abort);
}

void VxZipCbW::addFilesBegin() {
    if (app_)
        app_->addFilesBegin();
}

void VxZipCbW::addFilesEnd() {
    if (app_)
        app_->addFilesEnd();
}

void VxZipCbW::writeZipBegin() {
    if (app_)
        app_->writeZipBegin();
}

void VxZipCbW::writeZipEnd() {
    if (app_)
        app_->writeZipEnd();
}

void VxZipCbW::unzipBegin() {
    if (app_)
        app_->unzipBegin();
}

void VxZipCbW::unzipEnd() {
    if (app_)
        app_->unzipEnd();
}

} // namespace vexmar
