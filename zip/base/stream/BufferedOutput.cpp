#include "zip/base/stream/BufferedOutput.h"

#include "zip/base/LogNull.h"

#include <cstring>
#include <new>

namespace vexmar {

BufferedOutput::BufferedOutput(Output* target, uint32_t capacity)
    : Output(target ? Kind(target->kind()) : kMemory), target_(target),
      buffer_(new (std::nothrow) uint8_t[capacity]), capacity_(buffer_ ? capacity : 0) {}

// Whatever is still collected goes on; there is no one left to tell of a failure.
BufferedOutput::~BufferedOutput() {
    LogNull log;
    flush(log);
}

bool BufferedOutput::flush(LogBase& log) {
    if (used_ == 0)
        return true;
    const uint32_t n = used_;
    used_ = 0;
    return target_->write(buffer_.get(), n, nullptr, log);
}

// The bytes have had this output's transform and progress already, so the
// target receives them without a monitor.
bool BufferedOutput::writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor*,
                              LogBase& log) {
    if (!target_)
        return false;
    if (used_ + length > capacity_ && !flush(log))
        return false;
    if (length >= capacity_)
        return target_->write(data, length, nullptr, log);
    std::memcpy(buffer_.get() + used_, data, size_t(length));
    used_ += uint32_t(length);
    return true;
}

bool BufferedOutput::seekToEnd(LogBase& log) {
    return target_ && flush(log) && target_->seekToEnd(log);
}

bool BufferedOutput::seekAbsolute(uint64_t position, LogBase& log) {
    return target_ && flush(log) && target_->seekAbsolute(position, log);
}

uint64_t BufferedOutput::position() {
    return target_ ? target_->position() + used_ : 0;
}

bool BufferedOutput::reset(LogBase& log) {
    used_ = 0;
    return !target_ || target_->reset(log);
}

} // namespace vexmar
