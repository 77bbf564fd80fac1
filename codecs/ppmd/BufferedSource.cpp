#include "codecs/ppmd/BufferedSource.h"

#include "zip/base/stream/DataSource.h"

namespace vexmar {

namespace ppmd {

void BufferedSource::attach(DataSource& source, ProgressMonitor* monitor, LogBase& log) {
    source_ = &source;
    monitor_ = monitor;
    log_ = &log;
    pos_ = filled_ = 0;
    ended_ = error_ = exhausted_ = false;
}

int BufferedSource::refill() {
    if (!ended_) {
        uint32_t count = 0;
        bool atEnd = false;
        if (!source_->read(buffer_, kFill, count, atEnd, monitor_, *log_)) {
            error_ = ended_ = true;
        } else if (count == 0) {
            ended_ = true;
        } else {
            pos_ = 1;
            filled_ = static_cast<int32_t>(count);
            return buffer_[0];
        }
    }
    exhausted_ = true;
    return -1;
}

} // namespace ppmd

} // namespace vexmar
