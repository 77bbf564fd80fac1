#include "os/Beneath.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/XString.h"
#include "zip/base/fs/FileSys.h"
#include "zip/base/fs/PathText.h"

namespace vexmar {

namespace FileSys {

namespace {

int errorKindOf(uint32_t error) {
    switch (os::classifyFileError(error)) {
    case os::FileError::AccessDenied:
        return kOpenAccessDenied;
    case os::FileError::PathNotFound:
        return kOpenPathNotFound;
    default:
        return kOpenOtherError;
    }
}

void logOpenFailure(const std::string& path, uint32_t error, bool wideForm, LogBase& log) {
    if (wideForm) {
        log.logError("Failed to open file (3)");
        log.logData("utf8Filename", path.c_str());
    } else {
        log.logError("Failed to open file (2)");
        log.logData("localFilePath", path.c_str());
        log.logData("currentWorkingDirectory", os::currentDirectory().c_str());
    }
    log.logData("osErrorInfo", osErrorText(error).c_str());
    log.logData("localWindowsFilePath", path.c_str());
}

// A read-only file refuses writers; its owner may clear the attribute. A link is left
// alone: clearing would change whatever it points at.
bool clearReadOnly(const XString& path) {
    if (os::isLink(path.getUtf8()))
        return false;
    uint32_t attributes = 0;
    uint32_t error = 0;
    if (!GetAttributes(path, attributes, error, nullptr))
        return false;
    if (!(attributes & os::kAttrReadOnly) || (attributes & os::kAttrDirectory))
        return false;
    return setFileAttributesWin32(path, attributes & ~uint32_t(os::kAttrReadOnly));
}

VexmarHandle openInContext(const char* context, const XString& path, bool read, bool write,
                           bool exclusive, bool hidden, int* errorKind, LogBase* log) {
    LogContextExitor scope(log, context);
    return openFileWin32(path, read, write, exclusive, hidden, false, errorKind, log);
}

} // namespace

VexmarHandle openFileWin32(const XString& path, bool read, bool write, bool exclusive, bool hidden,
                           bool append, int* errorKind, LogBase* log) {
    if (errorKind)
        *errorKind = kOpenOk;
    XString target;
    target.setFromX(path);
    target.replaceAllChars(u'/', u'\\');
    sanitizeFilename(target, write, log);
    if (target.isEmpty()) {
        if (log)
            log->logError("openFileWin32: file path is empty.");
        return VexmarHandle();
    }

    os::FileOpenRequest request;
    request.access = (read ? os::kAccessRead : 0) | (write ? os::kAccessWrite : 0);
    if (!write)
        request.creation = os::FileCreation::OpenExisting;
    else if (read)
        request.creation = os::FileCreation::OpenAlways;
    else
        request.creation = os::FileCreation::CreateAlways;
    request.share = read && !exclusive ? os::kShareRead | os::kShareWrite : os::kShareNone;
    request.flags = hidden ? os::kOpenHidden : 0;

    uint32_t error = 0;
    bool wideForm = false;
    os::FileHandle file = os::openFile(target.getUtf8(), request, error, wideForm);
    if (file == os::kNoFile && clearReadOnly(target))
        file = os::openFile(target.getUtf8(), request, error, wideForm);
    if (file == os::kNoFile) {
        if (errorKind)
            *errorKind = errorKindOf(error);
        if (log)
            logOpenFailure(target.getUtf8(), error, wideForm, *log);
        return VexmarHandle();
    }

    VexmarHandle handle(file);
    if (append)
        handle.seekToEnd(log);
    return handle;
}

VexmarHandle openForWriteWin32(const XString& path, int* errorKind, LogBase* log) {
    return openInContext("openForWriteWin32", path, false, true, true, false, errorKind, log);
}

VexmarHandle openForWriteHiddenWin32(const XString& path, int* errorKind, LogBase* log) {
    return openInContext("openForWriteHiddenWin32", path, false, true, true, true, errorKind, log);
}

VexmarHandle openForReadWin32(const XString& path, int* errorKind, LogBase* log) {
    return openFileWin32(path, true, false, false, false, false, errorKind, log);
}

VexmarHandle openForReadWriteWin32(const XString& path, bool exclusive, int* errorKind,
                                   LogBase* log) {
    return openInContext("openForReadWriteWin32", path, true, true, exclusive, false, errorKind,
                         log);
}

} // namespace FileSys

} // namespace vexmar
