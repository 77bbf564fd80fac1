#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/XString.h"
#include "zip/base/fs/FileSys.h"
#include "zip/base/fs/PathText.h"

#include <cctype>

namespace vexmar {

namespace FileSys {

namespace {

void logCreateFailure(uint32_t error, LogBase* log) {
    if (log) {
        LogContextExitor context(log, "createDirWin32");
        log->logWindowsError(error);
        log->logDataHex("WindowsErrorCode", error);
    }
}

bool createDir(const std::string& path, LogBase* log) {
    uint32_t error = 0;
    if (os::createDirectory(path.c_str(), error))
        return true;
    logCreateFailure(error, log);
    return false;
}

bool exists(const std::string& path) {
    XString text;
    text.setFromUtf8(path.c_str());
    return fileExists(text, nullptr);
}

// One directory level: done when it is there already, noted when made here.
bool createOneLevel(const std::string& path, std::vector<std::string>* created, LogBase* log) {
    if (path.empty() || path == "." || exists(path))
        return true;
    uint32_t error = 0;
    if (!os::createDirectory(path.c_str(), error)) {
        // Made meanwhile by someone else, such as another worker of the same run.
        if (exists(path))
            return true;
        logCreateFailure(error, log);
        return false;
    }
    if (created)
        created->push_back(path);
    return true;
}

// Where the walk over a path's parents begins: after a \\?\ prefix, a UNC
// server and share, a drive and leading separators. npos when the path is a
// bare UNC share, which only the whole-path attempt can handle.
size_t walkStart(const std::string& path) {
    size_t at = 0;
    bool unc = false;
    if (path.rfind("\\\\?\\", 0) == 0) {
        at = 4;
        if (path.compare(at, 4, "UNC\\") == 0) {
            at += 4;
            unc = true;
        }
    } else if (path.rfind("\\\\", 0) == 0) {
        at = 2;
        unc = true;
    }
    if (unc) {
        const size_t serverEnd = path.find('\\', at);
        if (serverEnd == std::string::npos)
            return std::string::npos;
        const size_t shareEnd = path.find('\\', serverEnd + 1);
        if (shareEnd == std::string::npos || shareEnd + 1 == path.size())
            return std::string::npos;
        at = shareEnd + 1;
    }
    if (at + 1 < path.size() && std::isalpha(static_cast<unsigned char>(path[at])) &&
        path[at + 1] == ':')
        at += 2;
    while (at < path.size() && path[at] == '\\')
        ++at;
    return at;
}

void logFailure(LogBase* log, const char* message, const std::string& path) {
    if (log) {
        log->logError(message);
        log->logData("path", path.c_str());
    }
}

} // namespace

bool createDirWin32(const XString& path, LogBase* log) {
    return createDir(backslashed(path), log);
}

bool ensureDir(const XString& path, std::vector<std::string>* created, LogBase* log) {
    LogContextExitor context(log, "ensureDir");
    const std::string dir = backslashed(trimmed(path.getUtf8()));
    if (dir.empty())
        return true;
    if (createOneLevel(dir, created, log))
        return true;

    const size_t start = walkStart(dir);
    if (start == std::string::npos)
        return false;
    size_t separator = dir.find('\\', start);
    if (separator == std::string::npos) {
        logFailure(log, "Cannot ensure directory existence (1)", dir);
        return false;
    }
    for (; separator != std::string::npos; separator = dir.find('\\', separator + 1)) {
        const std::string parent = dir.substr(0, separator);
        if (!createOneLevel(parent, created, log)) {
            logFailure(log, "Cannot ensure directory existence (2)", parent);
            return false;
        }
    }
    if (!createOneLevel(dir, created, log)) {
        logFailure(log, "Cannot ensure directory existence (3)", dir);
        return false;
    }
    return true;
}

bool ensureFile(const XString* filePath, XString& directory, std::vector<std::string>* created,
                LogBase* log) {
    LogContextExitor context(log, "ensureFile");
    if (!filePath) {
        if (log)
            log->logError("No filePath");
        return false;
    }
    std::string dir = trimmed(backslashed(*filePath));
    const size_t last = dir.rfind('\\');
    if (last != std::string::npos && last > 0)
        dir.resize(last);
    directory.setFromUtf8(dir.c_str());
    if (last == std::string::npos || last == 0 || dir.empty())
        return true;
    return ensureDir(directory, created, log);
}

} // namespace FileSys

} // namespace vexmar
