// Byte-at-a-time reading of a DataSource for the PPMd range decoder, in blocks of 4000 bytes.
// Every block goes through the source's read(), with its transform, CRC-32 and progress.
#pragma once

#include <cstdint>

namespace vexmar {

class DataSource;
class LogBase;
class ProgressMonitor;

namespace ppmd {

class BufferedSource {
public:
    static constexpr uint32_t kCapacity = 5000;
    static constexpr uint32_t kFill = 4000;

    void attach(DataSource& source, ProgressMonitor* monitor, LogBase& log);

    // The next byte, or -1 once the data has ended (or a read failed).
    int nextByte() { return pos_ < filled_ ? buffer_[pos_++] : refill(); }

    // The source had no more bytes (or failed) when one more was wanted.
    bool exhausted() const { return exhausted_; }
    bool hasError() const { return error_; }

private:
    int refill();

    DataSource* source_ = nullptr;
    ProgressMonitor* monitor_ = nullptr;
    LogBase* log_ = nullptr;
    int32_t pos_ = 0;
    int32_t filled_ = 0;
    bool ended_ = false;
    bool error_ = false;
    bool exhausted_ = false;
    uint8_t buffer_[kCapacity];
};

} // namespace ppmd

} // namespace vexmar
