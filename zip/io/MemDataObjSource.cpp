#include "zip/io/MemDataObjSource.h"

#include "zip/central/MemoryData.h"
#include "zip/base/LogBase.h"

#include <cstring>

namespace vexmar {

void MemDataObjSource::setup(const MemoryData* image, uint64_t start, uint64_t length) {
    image_ = image;
    start_ = start;
    length_ = length;
    rewind();
}

bool MemDataObjSource::readRaw(uint8_t* buffer, uint32_t max, uint32_t& count, bool& atEnd,
                               ProgressMonitor*, LogBase& log) {
    if (!buffer) {
        count = 0;
        atEnd = remaining_ == 0;
        log.logError("Internal error: No output buffer provided.");
        return false;
    }
    const uint8_t* bytes = nullptr;
    if (!lendRaw(bytes, max, count, atEnd, log))
        return false;
    if (count != 0)
        std::memcpy(buffer, bytes, count);
    return true;
}

bool MemDataObjSource::lendRaw(const uint8_t*& data, uint32_t max, uint32_t& count, bool& atEnd,
                               LogBase& log) {
    data = nullptr;
    count = 0;
    atEnd = remaining_ == 0;
    if (!image_) {
        log.logError("Internal error: No memData.");
        return false;
    }
    if (remaining_ == 0)
        return true;
    const uint32_t want = remaining_ < max ? uint32_t(remaining_) : max;
    if (want == 0) {
        log.logError("Number of bytes received at current index was 0.");
        log.logDataInt64("curIndex", int64_t(current_));
        return false;
    }
    const uint8_t* bytes = image_->getBytes(current_, want, log);
    if (!bytes) {
        log.logError("Failed to get bytes at current index.");
        log.logDataInt64("curIndex", int64_t(current_));
        return false;
    }
    data = bytes;
    count = want;
    current_ += want;
    remaining_ -= want;
    atEnd = remaining_ == 0;
    return true;
}

bool MemDataObjSource::seekAbsolute(int64_t position) {
    const uint64_t offset = position < 0                   ? 0
                            : uint64_t(position) > length_ ? length_
                                                           : uint64_t(position);
    current_ = start_ + offset;
    remaining_ = length_ - offset;
    return true;
}

bool MemDataObjSource::seekRelative(int64_t offset) {
    return seekAbsolute(position() + offset);
}

void MemDataObjSource::rewind() {
    current_ = start_;
    remaining_ = length_;
}

} // namespace vexmar
