#include "codecs/ppmd/BufferedOutput.h"

#include "zip/base/LogBase.h"
#include "zip/base/stream/Output.h"

namespace vexmar {

namespace ppmd {

void BufferedOutput::attach(Output& output, ProgressMonitor* monitor, LogBase& log) {
    output_ = &output;
    monitor_ = monitor;
    log_ = &log;
    used_ = 0;
    error_ = false;
    collected_.clear();
}

bool BufferedOutput::spill() {
    const uint32_t n = used_;
    used_ = 0;
    if (error_)
        return false;
    if (!collected_.append(staging_, n)) {
        log_->logOutOfMemory("ppmdOutput", n);
        error_ = true;
        return false;
    }
    return collected_.getSize() <= kFlushThreshold || writeCollected();
}

bool BufferedOutput::writeCollected() {
    if (!output_->write(collected_, monitor_, *log_))
        error_ = true;
    collected_.clear();
    return !error_;
}

bool BufferedOutput::flush() {
    if (used_ != 0 && !spill())
        return false;
    if (error_)
        return false;
    return collected_.isEmpty() || writeCollected();
}

} // namespace ppmd

} // namespace vexmar
