#include "zip/base/LogBase.h"
#include "zip/base/XString.h"
#include "zip/base/fs/FileSys.h"
#include "zip/base/fs/PathText.h"

namespace vexmar {

namespace FileSys {

bool fileExists(const XString& path, LogBase* log) {
    if (path.isEmpty())
        return false;
    uint32_t attributes = 0;
    uint32_t error = 0;
    if (os::getFileAttributes(path.getUtf8(), attributes, error))
        return true;
    switch (os::classifyFileError(error)) {
    case os::FileError::FileNotFound:
    case os::FileError::PathNotFound:
    case os::FileError::NotReady:
        if (log)
            log->logWindowsError(error);
        return false;
    default:
        // Something is there that we may not look at.
        return true;
    }
}

bool GetAttributes(const XString& path, uint32_t& attributes, uint32_t& error, LogBase* log) {
    attributes = 0xFFFFFFFF;
    error = 0;
    if (path.isEmpty()) {
        if (log)
            log->logError("GetAttributes: filename is empty");
        return false;
    }
    uint32_t found = 0;
    if (!os::getFileAttributes(path.getUtf8(), found, error))
        return false;
    attributes = found;
    return true;
}

bool setFileAttributesWin32(const XString& path, uint32_t attributes) {
    XString target;
    target.setFromX(path);
    sanitizeFilename(target, true, nullptr);
    uint32_t error = 0;
    return os::setFileAttributes(target.getUtf8(), attributes, error);
}

bool deleteFile(const XString& path, LogBase* log) {
    const std::string target = backslashed(path);
    uint32_t error = 0;
    if (os::deleteFile(target.c_str(), error))
        return true;
    // A read-only file refuses deletion until the attribute is cleared.
    uint32_t attributes = 0;
    uint32_t ignored = 0;
    if (os::classifyFileError(error) == os::FileError::AccessDenied &&
        os::getFileAttributes(target.c_str(), attributes, ignored) &&
        (attributes & os::kAttrReadOnly) && !(attributes & os::kAttrDirectory) &&
        os::setFileAttributes(target.c_str(), attributes & ~uint32_t(os::kAttrReadOnly), ignored) &&
        os::deleteFile(target.c_str(), error))
        return true;
    if (os::classifyFileError(error) == os::FileError::FileNotFound)
        return true;
    if (log) {
        log->logWindowsError(error);
        log->logData("failedToDeleteFilepath", target.c_str());
    }
    return false;
}

bool renameFileWin32(const XString& from, const XString& to, LogBase* log) {
    uint32_t error = 0;
    if (os::renameFile(backslashed(from).c_str(), backslashed(to).c_str(), error))
        return true;
    if (log)
        log->logWindowsError(error);
    return false;
}

bool writeWholeFile(const XString& path, const void* data, uint64_t length, LogBase* log) {
    VexmarHandle file = openFileWin32(path, false, true, true, false, false, nullptr, log);
    if (!file.isOpen()) {
        if (log) {
            log->logDataStr("filename", path);
            log->logError("Failed to write complete file (7)");
        }
        return false;
    }
    uint64_t written = 0;
    if (length != 0 && !file.write(data, length, written, log)) {
        if (log) {
            log->logDataStr("filename", path);
            log->logError("Failed to write complete file (1)");
        }
        return false;
    }
    return true;
}

} // namespace FileSys

} // namespace vexmar
