#include "os/File.h"

#include "os/posix/DriveTable.h"
#include "os/posix/PathByName.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os {

namespace {

uint32_t lastErrno() {
    return uint32_t(errno);
}

FileTime fromTimespec(const timespec& t) {
    return kUnixEpochFileTime + FileTime(t.tv_sec) * 10000000 + FileTime(t.tv_nsec) / 100;
}

timespec toTimespec(FileTime t) {
    const int64_t sinceEpoch = int64_t(t) - int64_t(kUnixEpochFileTime);
    int64_t seconds = sinceEpoch / 10000000;
    int64_t rest = sinceEpoch % 10000000;
    if (rest < 0) {
        rest += 10000000;
        --seconds;
    }
    return timespec{time_t(seconds), long(rest * 100)};
}

} // namespace

FileError classifyFileError(uint32_t code) {
    switch (int(code)) {
    case 0:
        return FileError::None;
    case ENOENT:
        return FileError::FileNotFound;
    case ENOTDIR:
        return FileError::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return FileError::AccessDenied;
#ifdef ENOMEDIUM
    case ENOMEDIUM:
        return FileError::NotReady;
#endif
    case ETXTBSY:
        return FileError::SharingViolation;
    case EEXIST:
        return FileError::AlreadyExists;
    default:
        return FileError::Other;
    }
}

// POSIX has no share modes: other opens of the file are never refused, so
// there is nothing to retry.
FileHandle openFile(const char* path, const FileOpenRequest& request, uint32_t& error,
                    bool& wideForm) {
    wideForm = false;
    int flags = O_CLOEXEC;
    const bool read = request.access & kAccessRead;
    const bool write = request.access & kAccessWrite;
    flags |= read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    if (request.creation == FileCreation::OpenAlways)
        flags |= O_CREAT;
    else if (request.creation == FileCreation::CreateAlways)
        flags |= O_CREAT | O_TRUNC;
    else if (request.creation == FileCreation::CreateNew)
        flags |= O_CREAT | O_EXCL;
    // A file made exclusively is usually a temporary one that nobody else may
    // write to before its owner gives it its final rights.
    const mode_t mode = request.creation == FileCreation::CreateNew ? 0600 : 0666;

    const std::string native = nativePath(path);
    int fd;
    do
        fd = open(native.c_str(), flags, mode);
    while (fd < 0 && errno == EINTR);
    // A directory cannot be opened for writing; for setting its times it need not be.
    if (fd < 0 && errno == EISDIR && (request.flags & kOpenBackupSemantics))
        fd = open(native.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        error = lastErrno();
        return kNoFile;
    }
    error = 0;
    return FileHandle(fd);
}

void closeFile(FileHandle file) {
    if (file != kNoFile)
        close(int(file));
}

bool readFile(FileHandle file, void* buffer, uint32_t max, uint32_t& done, uint32_t& error) {
    ssize_t n;
    do
        n = read(int(file), buffer, max);
    while (n < 0 && errno == EINTR);
    if (n < 0) {
        done = 0;
        error = lastErrno();
        return false;
    }
    done = uint32_t(n);
    return true;
}

// write() may store fewer bytes than asked; the rest is retried until the
// system reports why it cannot take them.
bool writeFile(FileHandle file, const void* data, uint32_t length, uint32_t& done,
               uint32_t& error) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    done = 0;
    while (done < length) {
        const ssize_t n = write(int(file), bytes + done, length - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = lastErrno();
            return false;
        }
        if (n == 0) {
            error = ENOSPC;
            return false;
        }
        done += uint32_t(n);
    }
    return true;
}

bool seekFile(FileHandle file, int64_t offset, SeekFrom from, int64_t& newPosition,
              uint32_t& error) {
    const int whence = from == SeekFrom::Begin ? SEEK_SET
                       : from == SeekFrom::End ? SEEK_END
                                               : SEEK_CUR;
    const off_t result = lseek(int(file), off_t(offset), whence);
    if (result < 0) {
        error = lastErrno();
        return false;
    }
    newPosition = int64_t(result);
    return true;
}

bool fileSize(FileHandle file, int64_t& size, uint32_t& error) {
    struct stat st {};
    if (fstat(int(file), &st) != 0) {
        error = lastErrno();
        return false;
    }
    size = int64_t(st.st_size);
    return true;
}

bool truncateAtPosition(FileHandle file, uint32_t& error) {
    const off_t here = lseek(int(file), 0, SEEK_CUR);
    if (here < 0 || ftruncate(int(file), here) != 0) {
        error = lastErrno();
        return false;
    }
    return true;
}

// On Linux the blocks are allocated at once. That also spares the commit of a
// rewritten file a flush: ext4 writes out a file's unallocated blocks when it
// is renamed over another one.
bool reserveFileSpace(FileHandle file, uint64_t size, uint32_t& error) {
#ifdef __linux__
    if (size == 0)
        return true;
    if (size > uint64_t(INT64_MAX)) {
        error = EFBIG;
        return false;
    }
    if (fallocate(int(file), FALLOC_FL_KEEP_SIZE, 0, off_t(size)) != 0 &&
        errno != EOPNOTSUPP && errno != ENOSYS) {
        error = lastErrno();
        return false;
    }
#else
    (void)file;
    (void)size;
    (void)error;
#endif
    return true;
}

bool fileLastWriteTime(FileHandle file, FileTime& time, uint32_t& error) {
    struct stat st {};
    if (fstat(int(file), &st) != 0) {
        error = lastErrno();
        return false;
    }
    time = fromTimespec(st.st_mtim);
    return true;
}

// The creation time is the system's own business here.
bool setFileTimes(FileHandle file, FileTime time, uint32_t& error) {
    const timespec times[2] = {toTimespec(time), toTimespec(time)};
    if (futimens(int(file), times) != 0) {
        error = lastErrno();
        return false;
    }
    return true;
}

// Read-only means that the owner may not write; "normal" stands for a plain
// file with neither bit.
bool getFileAttributes(const char* path, uint32_t& attributes, uint32_t& error) {
    struct stat st {};
    if (stat(nativePath(path).c_str(), &st) != 0) {
        error = lastErrno();
        return false;
    }
    attributes = 0;
    if (S_ISDIR(st.st_mode))
        attributes |= kAttrDirectory;
    if (!(st.st_mode & S_IWUSR))
        attributes |= kAttrReadOnly;
    if (attributes == 0)
        attributes = kAttrNormal;
    return true;
}

// Only the read-only bit has a meaning: it takes away every write permission;
// without it the owner may write.
bool setFileAttributes(const char* path, uint32_t attributes, uint32_t& error) {
    const std::string native = nativePath(path);
    struct stat st {};
    if (stat(native.c_str(), &st) != 0) {
        error = lastErrno();
        return false;
    }
    const mode_t mode = modeWithAttributes(st.st_mode & 07777, attributes);
    if (mode != (st.st_mode & 07777) && chmod(native.c_str(), mode) != 0) {
        error = lastErrno();
        return false;
    }
    return true;
}

bool createDirectory(const char* path, uint32_t& error) {
    if (mkdir(nativePath(path).c_str(), 0777) != 0) {
        error = lastErrno();
        return false;
    }
    return true;
}

bool deleteFile(const char* path, uint32_t& error) {
    if (unlink(nativePath(path).c_str()) != 0) {
        error = lastErrno();
        return false;
    }
    return true;
}

// Like a Windows move, it does not replace an existing target.
bool renameFile(const char* from, const char* to, uint32_t& error) {
    const std::string target = nativePath(to);
    struct stat st {};
    if (lstat(target.c_str(), &st) == 0) {
        error = EEXIST;
        return false;
    }
    if (rename(nativePath(from).c_str(), target.c_str()) != 0) {
        error = lastErrno();
        return false;
    }
    return true;
}

bool replaceFile(const char* from, const char* to, uint32_t& error) {
    if (rename(nativePath(from).c_str(), nativePath(to).c_str()) != 0) {
        error = lastErrno();
        return false;
    }
    return true;
}

bool resolveLinks(const char* path, std::string& target, uint32_t& error) {
    char* resolved = realpath(nativePath(path).c_str(), nullptr);
    if (!resolved) {
        error = lastErrno();
        return false;
    }
    target = resolved;
    std::free(resolved);
    return true;
}

bool copyAccessRights(const char* from, const char* to, uint32_t& error) {
    struct stat st {};
    if (stat(nativePath(from).c_str(), &st) != 0 ||
        chmod(nativePath(to).c_str(), st.st_mode & 07777) != 0) {
        error = lastErrno();
        return false;
    }
    return true;
}

std::string currentDirectory() {
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer))
        return std::string();
    return std::string(buffer);
}

} // namespace os
