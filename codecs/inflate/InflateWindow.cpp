// The window's hand-over to the output and its slide.
#include "codecs/inflate/InflateWindow.h"

#include "codecs/inflate/MatchCopy.h"
#include "zip/base/LogBase.h"
#include "zip/base/stream/Output.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vexmar {

bool InflateWindow::allocate(uint32_t windowSize) {
    // Output that may not pass a small limit needs no more area than the limit: the area only
    // fills up when the limit is passed.
    const uint32_t area =
        limit_ < kAreaSize ? std::max(static_cast<uint32_t>(limit_) + 1, kMinAreaSize) : kAreaSize;
    data_.reset(new (std::nothrow) uint8_t[windowSize + area + kMatchCopyOverrun]);
    if (!data_)
        return false;
    windowSize_ = windowSize;
    areaEnd_ = windowSize + area;
    floor_ = position_ = flushMark_ = windowSize;
    return true;
}

void InflateWindow::zeroHistory() {
    std::memset(data_.get(), 0, floor_);
    floor_ = 0;
}

bool InflateWindow::copyMatch(uint32_t distance, uint32_t length, const Sink& sink) {
    if (distance > position_ - floor_)
        zeroHistory();
    while (length > 0) {
        const uint32_t piece = std::min(length, areaEnd_ - position_);
        vexmar::copyMatch(data_.get() + position_, distance, piece);
        position_ += piece;
        length -= piece;
        if (position_ == areaEnd_ && !wrap(sink))
            return false;
    }
    return true;
}

bool InflateWindow::putBytes(const uint8_t* bytes, uint32_t count, const Sink& sink) {
    while (count > 0) {
        const uint32_t piece = std::min(count, areaEnd_ - position_);
        std::memcpy(data_.get() + position_, bytes, piece);
        position_ += piece;
        bytes += piece;
        count -= piece;
        if (position_ == areaEnd_ && !wrap(sink))
            return false;
    }
    return true;
}

bool InflateWindow::flush(const Sink& sink) {
    const uint32_t count = position_ - flushMark_;
    if (count == 0)
        return true;
    if (count > limit_ - flushed_) {
        sink.log->logError("Inflated data is larger than the expected size.");
        sink.log->logDataInt64("expectedSize", static_cast<int64_t>(limit_));
        return false;
    }
    if (!sink.output->write(data_.get() + flushMark_, count, sink.monitor, *sink.log))
        return false;
    flushed_ += count;
    flushMark_ = position_;
    return true;
}

bool InflateWindow::wrap(const Sink& sink) {
    if (!flush(sink))
        return false;
    // A small area may leave bytes of the zero history in the part that moves down.
    if (floor_ > areaEnd_ - windowSize_)
        zeroHistory();
    std::memmove(data_.get(), data_.get() + areaEnd_ - windowSize_, windowSize_);
    position_ = flushMark_ = windowSize_;
    floor_ = 0;
    return true;
}

} // namespace vexmar
