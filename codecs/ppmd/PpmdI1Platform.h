// The PPMd variant I revision 1 decoder of ZIP method 98.
#pragma once

#include "codecs/ppmd/Model.h"
#include "codecs/ppmd/RangeDecoder.h"

#include <cstdint>

namespace vexmar {

class DataSource;
class LogBase;
class Output;
class ProgressMonitor;

namespace ppmd {
class BufferedOutput;
}

class PpmdI1Platform {
public:
    static constexpr unsigned kMaxOrder = ppmd::kMaxOrder;
    static constexpr unsigned kMaxMegabytes = 256;

    PpmdI1Platform() = default;
    virtual ~PpmdI1Platform();
    PpmdI1Platform(const PpmdI1Platform&) = delete;
    PpmdI1Platform& operator=(const PpmdI1Platform&) = delete;

    // Decodes the compressed data that follows the 2-byte method header into the output, up to
    // the end mark. Fails (with the reason in the log) on corrupt data, on data that ends before
    // the end mark, on more than maxOutputBytes bytes, on a failed read or write, on an abort,
    // on parameters outside their ranges (order 1 to 16, 1 to 256 MB, restoration 0 restart or
    // 1 cut-off) and when the model's memory cannot be had.
    bool decode(unsigned restorationMethod, unsigned maxOrder, unsigned memoryMegabytes,
                DataSource& source, Output& output, ProgressMonitor* monitor, LogBase& log,
                uint64_t maxOutputBytes = UINT64_MAX);

private:
    enum class Stop { kEndMark, kDataError, kTruncated, kTooLong, kReadFailed, kWriteFailed };

    bool checkParameters(unsigned restorationMethod, unsigned maxOrder, unsigned memoryMegabytes,
                         LogBase& log);
    Stop run(ppmd::BufferedSource& in, ppmd::BufferedOutput& out, uint64_t maxOutputBytes);

    ppmd::Model model_;
    ppmd::RangeDecoder rc_;
};

} // namespace vexmar
