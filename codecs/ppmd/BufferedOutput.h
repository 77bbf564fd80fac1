// Byte-at-a-time writing to an Output for the PPMd decoder: bytes gather in a 1024-byte staging
// array, staged bytes in a DataBuffer, and the DataBuffer goes to the output once it holds more
// than 4000 bytes.
#pragma once

#include "zip/base/DataBuffer.h"

#include <cstdint>

namespace vexmar {

class LogBase;
class Output;
class ProgressMonitor;

namespace ppmd {

class BufferedOutput {
public:
    static constexpr uint32_t kStaging = 1024;
    static constexpr uint32_t kFlushThreshold = 4000;

    void attach(Output& output, ProgressMonitor* monitor, LogBase& log);

    // False once a write has failed.
    bool putByte(uint8_t b) {
        staging_[used_++] = b;
        return used_ != kStaging || spill();
    }
    // Writes everything held so far.
    bool flush();
    bool hasError() const { return error_; }

private:
    bool spill();
    bool writeCollected();

    Output* output_ = nullptr;
    ProgressMonitor* monitor_ = nullptr;
    LogBase* log_ = nullptr;
    uint32_t used_ = 0;
    bool error_ = false;
    DataBuffer collected_;
    uint8_t staging_[kStaging];
};

} // namespace ppmd

} // namespace vexmar
