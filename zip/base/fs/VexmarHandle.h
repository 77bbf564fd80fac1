// An open file of the engine. Moving a handle moves the ownership of the open
// file; the moved-from handle is left closed. Destruction closes the file.
#pragma once

#include "os/File.h"

#include <cstdint>

namespace vexmar {

class LogBase;

class VexmarHandle {
public:
    // Writes go to the system in slices of at most this many bytes.
    static constexpr uint32_t kMaxWriteSlice = 10000000;

    VexmarHandle() = default;
    explicit VexmarHandle(os::FileHandle file) : file_(file) {}
    ~VexmarHandle();
    VexmarHandle(VexmarHandle&& other) noexcept;
    VexmarHandle& operator=(VexmarHandle&& other) noexcept;
    VexmarHandle(const VexmarHandle&) = delete;
    VexmarHandle& operator=(const VexmarHandle&) = delete;

    bool isOpen() const { return file_ != os::kNoFile; }
    os::FileHandle osHandle() const { return file_; }
    void close();

    // Every operation logs why it failed when given a log.
    bool write(const void* data, uint64_t length, uint64_t& written, LogBase* log);
    // End of file is not an error: it gives a count of 0 with `atEnd` set.
    bool read(void* buffer, uint32_t max, uint32_t& count, bool& atEnd, LogBase* log);
    bool seekToEnd(LogBase* log);
    bool seekAbsolute(int64_t position, LogBase* log);
    bool seekRelative(int64_t offset, LogBase* log);
    bool position(int64_t& position, LogBase* log);
    bool size32(uint32_t& size, LogBase* log);
    bool size64(int64_t& size, LogBase* log);
    // Ends the file at the current position.
    bool truncateHere(LogBase* log);
    // Sets aside space for `size` bytes (see os::reserveFileSpace).
    bool reserveSpace(uint64_t size, LogBase* log);
    bool lastWriteTime(os::FileTime& time, LogBase* log);
    // Creation, last-access and last-write times all become `time`.
    bool setTimes(os::FileTime time, LogBase* log);

private:
    os::FileHandle file_ = os::kNoFile;
};

} // namespace vexmar
