#include "exe/ExeOutput.h"

#include "zip/base/LogBase.h"
#include "zip/base/fs/VexmarHandle.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <cstring>

namespace vexmar {

ExeOutput::ExeOutput(VexmarHandle& file, ProgressMonitor* progress, LogBase& log)
    : file_(file), progress_(progress), log_(log) {
    pending_.reserve(kGatherSize);
}

bool ExeOutput::write(const void* data, uint64_t length) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (pending_.size() + length > kGatherSize && !flush())
        return false;
    position_ += length;
    if (length >= kGatherSize)
        return writeThrough(bytes, length);
    pending_.insert(pending_.end(), bytes, bytes + length);
    return true;
}

bool ExeOutput::fill(uint8_t byte, uint64_t length) {
    uint8_t block[4096];
    std::memset(block, byte, sizeof block);
    while (length > 0) {
        const uint64_t piece = length < sizeof block ? length : sizeof block;
        if (!write(block, piece))
            return false;
        length -= piece;
    }
    return true;
}

bool ExeOutput::padTo(uint64_t offset) {
    if (offset < position_)
        return false;
    return fill(0, offset - position_);
}

bool ExeOutput::flush() {
    if (pending_.empty())
        return true;
    const bool ok = writeThrough(pending_.data(), pending_.size());
    pending_.clear();
    return ok;
}

bool ExeOutput::writeThrough(const uint8_t* data, uint64_t length) {
    uint64_t written = 0;
    if (!file_.write(data, length, written, &log_))
        return false;
    if (progress_ && progress_->progress(int64_t(written), log_)) {
        log_.logError("Aborted by the application");
        return false;
    }
    return true;
}

} // namespace vexmar
