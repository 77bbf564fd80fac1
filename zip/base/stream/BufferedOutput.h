// An output that collects small writes and passes them on in large blocks.
#pragma once

#include "zip/base/stream/Output.h"

#include <cstdint>
#include <memory>

namespace vexmar {

class BufferedOutput : public Output {
public:
    static constexpr uint32_t kDefaultCapacity = 65536;

    // The target is not owned and must outlive this output.
    explicit BufferedOutput(Output* target, uint32_t capacity = kDefaultCapacity);
    ~BufferedOutput() override;

    // Passes the collected bytes on. Destruction flushes too, but cannot report a failure.
    bool flush(LogBase& log);

    bool writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor* monitor,
                  LogBase& log) override;
    bool seekToEnd(LogBase& log) override;
    bool seekAbsolute(uint64_t position, LogBase& log) override;
    uint64_t position() override;
    bool reset(LogBase& log) override;

private:
    Output* target_;
    std::unique_ptr<uint8_t[]> buffer_;
    uint32_t capacity_;
    uint32_t used_ = 0;
};

} // namespace vexmar
