#include "os/Directory.h"

#include "os/File.h"
#include "os/posix/DriveTable.h"

#include <cerrno>
#include <climits>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

namespace {

std::string native(const wchar* path) {
    return nativePath(toUtf8(path, wideLength(path)).c_str());
}

uint32_t windowsCode(int number) {
    switch (number) {
    case EEXIST:
        return kErrorAlreadyExists;
    case EACCES:
    case EPERM:
    case EROFS:
        return kErrorAccessDenied;
    case ENOENT:
    case ENOTDIR:
        return kErrorPathNotFound;
    case ENAMETOOLONG:
        return 206; // ERROR_FILENAME_EXCED_RANGE
    case ENOSPC:
        return 112; // ERROR_DISK_FULL
    default:
        return 31; // ERROR_GEN_FAILURE
    }
}

// The error mode has no effect here; it is only handed back.
uint32_t errorMode = 0;

} // namespace

bool wideFileAttributes(const wchar* path, uint32_t& attributes) {
    struct stat st {};
    const std::string name = native(path);
    if (name.empty() || stat(name.c_str(), &st) != 0)
        return false;
    attributes = S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrNormal;
    if (!(st.st_mode & S_IWUSR))
        attributes = (attributes & ~kAttrNormal) | kAttrReadOnly;
    return true;
}

bool createDirectoryWide(const wchar* path, void*, uint32_t& error) {
    const std::string name = native(path);
    if (mkdir(name.empty() ? "" : name.c_str(), 0777) != 0) {
        error = windowsCode(errno);
        return false;
    }
    return true;
}

uint32_t failCriticalErrorsSilently() {
    const uint32_t old = errorMode;
    errorMode = 1; // SEM_FAILCRITICALERRORS
    return old;
}

void restoreErrorMode(uint32_t mode) {
    errorMode = mode;
}

bool volumeInformation(const wchar* root, uint32_t& error) {
    const std::string text = toUtf8(root, wideLength(root));
    if (text.size() >= 2 && (text[0] == '\\' || text[0] == '/') &&
        (text[1] == '\\' || text[1] == '/')) {
        error = kErrorBadNetPath;
        return false;
    }
    if (text.size() == 3 && text[1] == ':' && (text[2] == '\\' || text[2] == '/') &&
        driveRoot(text[0])) {
        struct stat st {};
        if (stat(driveRoot(text[0]), &st) == 0 && S_ISDIR(st.st_mode))
            return true;
    }
    error = kErrorPathNotFound;
    return false;
}

bool currentDirectoryWide(wchar* buffer, size_t size) {
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd))
        return false;
    const wstring form = fromUtf8(windowsFormOf(cwd));
    if (form.size() + 1 > size) {
        errno = ERANGE;
        return false;
    }
    form.copy(buffer, form.size());
    buffer[form.size()] = 0;
    return true;
}

int64_t crtTime64() {
    return int64_t(std::time(nullptr));
}

void setLastErrorCode(uint32_t code) {
    errno = int(code);
}

} // namespace os
