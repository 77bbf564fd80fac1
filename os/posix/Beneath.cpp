#include "os/Beneath.h"

#include "os/posix/DriveTable.h"
#include "os/posix/PathByName.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

namespace {

// Opens a folder below `parent` without following a link in its place.
int openSubfolder(int parent, const char* name) {
    int fd;
    do
        fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// What stands at `name` below `parent`, without following a link.
bool lookAt(int parent, const char* name, struct stat& st) {
    return fstatat(parent, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
}

void noteFailure(int parent, const char* name, BeneathFailure& failure) {
    failure.error = uint32_t(errno);
    struct stat st {};
    if (lookAt(parent, name, st)) {
        failure.link = S_ISLNK(st.st_mode);
        failure.notFolder = !failure.link && !S_ISDIR(st.st_mode);
    }
}

} // namespace

bool dropsTrailingDots() {
    return false;
}

std::string absolutePath(const char* path) {
    return absoluteByName(nativePath(path), false);
}

OpenFolder openFolderBeneath(const std::string& base, const std::vector<std::string>& names,
                             size_t count, BeneathFailure& failure) {
    OpenFolder folder;
    failure = BeneathFailure{};
    // The starting folder is the caller's choice and may be a link.
    int fd = open(nativePath(base.c_str()).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        failure.error = uint32_t(errno);
        return folder;
    }
    std::string path = nativePath(base.c_str());
    for (size_t i = 0; i < count && i < names.size(); ++i) {
        const char* name = names[i].c_str();
        if (mkdirat(fd, name, 0777) != 0 && errno != EEXIST) {
            failure.name = i;
            noteFailure(fd, name, failure);
            close(fd);
            return folder;
        }
        const int next = openSubfolder(fd, name);
        if (next < 0) {
            failure.name = i;
            noteFailure(fd, name, failure);
            close(fd);
            return folder;
        }
        close(fd);
        fd = next;
        if (path.empty() || path.back() != '/')
            path += '/';
        path += names[i];
    }
    folder.chain_.push_back(FileHandle(fd));
    folder.path_ = path;
    return folder;
}

// The new file is made with O_EXCL after the old one is gone: whatever appears at the name
// in between is never opened.
FileHandle replaceFileIn(const OpenFolder& folder, const std::string& name, bool, uint32_t& error,
                         bool& link) {
    link = false;
    const int dir = int(folder.handle());
    const char* n = name.c_str();
    struct stat st {};
    if (lookAt(dir, n, st)) {
        if (S_ISLNK(st.st_mode) || S_ISDIR(st.st_mode)) {
            link = S_ISLNK(st.st_mode);
            error = link ? ELOOP : EISDIR;
            return kNoFile;
        }
        if (unlinkat(dir, n, 0) != 0 && errno != ENOENT) {
            error = uint32_t(errno);
            return kNoFile;
        }
    }
    int fd;
    do
        fd = openat(dir, n, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error = uint32_t(errno);
        return kNoFile;
    }
    error = 0;
    return FileHandle(fd);
}

bool deleteFileIn(const OpenFolder& folder, const std::string& name, uint32_t& error) {
    if (unlinkat(int(folder.handle()), name.c_str(), 0) != 0 && errno != ENOENT) {
        error = uint32_t(errno);
        return false;
    }
    return true;
}

bool removeEmptyFolderIn(const OpenFolder& folder, const std::string& name, uint32_t& error) {
    // On a link, AT_REMOVEDIR fails with ENOTDIR instead of following it.
    if (unlinkat(int(folder.handle()), name.c_str(), AT_REMOVEDIR) != 0) {
        error = uint32_t(errno);
        return false;
    }
    return true;
}

bool isLink(const char* path) {
    struct stat st {};
    return lstat(nativePath(path).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool setAttributesOf(FileHandle file, uint32_t attributes, uint32_t& error) {
    struct stat st {};
    if (fstat(int(file), &st) != 0) {
        error = uint32_t(errno);
        return false;
    }
    const mode_t mode = modeWithAttributes(st.st_mode & 07777, attributes);
    if (mode != (st.st_mode & 07777) && fchmod(int(file), mode) != 0) {
        error = uint32_t(errno);
        return false;
    }
    return true;
}

} // namespace os
