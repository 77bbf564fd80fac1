#include "zip/base/fs/VexmarHandle.h"

#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"

#include <utility>

namespace vexmar {

namespace {

// The message, then the system's reason for `error`.
bool failWith(LogBase* log, const char* message, uint32_t error) {
    if (log) {
        log->logError(message);
        log->logWindowsError(error);
    }
    return false;
}

} // namespace

VexmarHandle::~VexmarHandle() {
    close();
}

VexmarHandle::VexmarHandle(VexmarHandle&& other) noexcept
    : file_(std::exchange(other.file_, os::kNoFile)) {}

VexmarHandle& VexmarHandle::operator=(VexmarHandle&& other) noexcept {
    if (this != &other) {
        close();
        file_ = std::exchange(other.file_, os::kNoFile);
    }
    return *this;
}

void VexmarHandle::close() {
    if (file_ != os::kNoFile)
        os::closeFile(std::exchange(file_, os::kNoFile));
}

bool VexmarHandle::write(const void* data, uint64_t length, uint64_t& written, LogBase* log) {
    written = 0;
    if (!isOpen()) {
        if (log)
            log->logError("Failed to write because file is not open.");
        return false;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (written < length) {
        const uint64_t left = length - written;
        const uint32_t slice = left > kMaxWriteSlice ? kMaxWriteSlice : uint32_t(left);
        uint32_t done = 0;
        uint32_t error = 0;
        const bool ok = os::writeFile(file_, bytes + written, slice, done, error);
        written += done;
        if (!ok || done != slice) {
            LogContextExitor context(log, "WriteFileError");
            if (log)
                log->logWindowsError(error);
            return false;
        }
    }
    return true;
}

bool VexmarHandle::read(void* buffer, uint32_t max, uint32_t& count, bool& atEnd, LogBase* log) {
    count = 0;
    atEnd = false;
    if (!buffer || max == 0) {
        if (log)
            log->logError("NULL buf or bufSize");
        return false;
    }
    if (!isOpen()) {
        if (log)
            log->logError("No file is open.");
        return false;
    }
    uint32_t error = 0;
    if (!os::readFile(file_, buffer, max, count, error))
        return failWith(log, "Failed to read from file.", error);
    // A file gives fewer bytes than asked only at its end.
    atEnd = count < max;
    return true;
}

bool VexmarHandle::seekToEnd(LogBase* log) {
    int64_t position = 0;
    uint32_t error = 0;
    if (!os::seekFile(file_, 0, os::SeekFrom::End, position, error))
        return failWith(log, "Failed to SetFilePointer to end of file.", error);
    return true;
}

bool VexmarHandle::seekAbsolute(int64_t position, LogBase* log) {
    int64_t reached = 0;
    uint32_t error = 0;
    if (!os::seekFile(file_, position, os::SeekFrom::Begin, reached, error)) {
        failWith(log, "Failed to SetFilePointer to absolute file position", error);
        if (log)
            log->logDataInt64("position", position);
        return false;
    }
    return true;
}

bool VexmarHandle::seekRelative(int64_t offset, LogBase* log) {
    int64_t reached = 0;
    uint32_t error = 0;
    if (!os::seekFile(file_, offset, os::SeekFrom::Current, reached, error))
        return failWith(log, "Failed to SetFilePointer to relative file position", error);
    return true;
}

bool VexmarHandle::position(int64_t& position, LogBase* log) {
    uint32_t error = 0;
    if (!os::seekFile(file_, 0, os::SeekFrom::Current, position, error))
        return failWith(log, "Failed to get file position", error);
    return true;
}

bool VexmarHandle::size32(uint32_t& size, LogBase* log) {
    int64_t full = 0;
    uint32_t error = 0;
    if (!os::fileSize(file_, full, error) || full > int64_t(UINT32_MAX))
        return failWith(log, "Failed to get file size (32)", error);
    size = uint32_t(full);
    return true;
}

bool VexmarHandle::size64(int64_t& size, LogBase* log) {
    uint32_t error = 0;
    if (!os::fileSize(file_, size, error))
        return failWith(log, "Failed to get file size (64)", error);
    return true;
}

bool VexmarHandle::truncateHere(LogBase* log) {
    uint32_t error = 0;
    if (!os::truncateAtPosition(file_, error))
        return failWith(log, "Failed to truncate file.", error);
    return true;
}

bool VexmarHandle::reserveSpace(uint64_t size, LogBase* log) {
    uint32_t error = 0;
    if (!os::reserveFileSpace(file_, size, error))
        return failWith(log, "Failed to set aside disk space for the file.", error);
    return true;
}

bool VexmarHandle::lastWriteTime(os::FileTime& time, LogBase* log) {
    uint32_t error = 0;
    if (!os::fileLastWriteTime(file_, time, error))
        return failWith(log, "Failed to get file last modification time.", error);
    return true;
}

bool VexmarHandle::setTimes(os::FileTime time, LogBase* log) {
    if (!isOpen()) {
        if (log)
            log->logError("Cannot set file time because file is not open.");
        return false;
    }
    uint32_t error = 0;
    if (!os::setFileTimes(file_, time, error))
        return failWith(log, "Failed to set file time.", error);
    return true;
}

} // namespace vexmar
