// The new executable as it is written: front to back, small pieces gathered
// into larger writes, progress reported by bytes written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexmar {

class LogBase;
class ProgressMonitor;
class VexmarHandle;

class ExeOutput {
public:
    // Pieces smaller than this are gathered; larger ones go straight to the file.
    static constexpr size_t kGatherSize = 256 * 1024;

    ExeOutput(VexmarHandle& file, ProgressMonitor* progress, LogBase& log);
    ExeOutput(const ExeOutput&) = delete;
    ExeOutput& operator=(const ExeOutput&) = delete;

    // False on a failed write or when the progress sink asks to abort.
    bool write(const void* data, uint64_t length);
    bool fill(uint8_t byte, uint64_t length);
    // Zero bytes up to `offset`; false when the output is already past it.
    bool padTo(uint64_t offset);
    bool flush();
    uint64_t position() const { return position_; }

private:
    bool writeThrough(const uint8_t* data, uint64_t length);

    VexmarHandle& file_;
    ProgressMonitor* progress_;
    LogBase& log_;
    std::vector<uint8_t> pending_;
    uint64_t position_ = 0;
};

} // namespace vexmar
