// The window's hand-over to the output and its slide.
#include "codecs/inflate/InflateWindow.h"

#include "codecs/inflate/MatchCopy.h"
#include "zip/base/LogBase.h"
#include "zip/base/stream/Output.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vexmar {

bool InflateWindow::allocate(uint32_t windowSize, Output& output) {
    if (place(output))
        return true;
    // Output that may not pass a small limit needs no more area than the limit: the area only
    // fills up when the limit is passed.
    const uint32_t area =
        limit_ < kAreaSize ? std::max(static_cast<uint32_t>(limit_) + 1, kMinAreaSize) : kAreaSize;
    owned_.reset(new (std::nothrow) uint8_t[windowSize + area + kMatchCopyOverrun]);
    if (!owned_)
        return false;
    data_ = owned_.get();
    windowSize_ = windowSize;
    areaEnd_ = windowSize + area;
    roomEnd_ = areaEnd_ + kMatchCopyOverrun;
    floor_ = position_ = flushMark_ = windowSize;
    return true;
}

bool InflateWindow::place(Output& output) {
    if (limit_ > kMaxPlacedSize)
        return false;
    uint8_t* const room = output.placeArea(limit_ + 1);
    if (room == nullptr)
        return false;
    data_ = room;
    placedIn_ = &output;
    areaEnd_ = roomEnd_ = static_cast<uint32_t>(limit_) + 1;
    return true;
}

void InflateWindow::copyReachingBack(uint32_t distance, uint32_t length) {
    // Byte by byte, so that bytes copied from the zeros repeat as a match repeats its source.
    for (uint32_t i = 0; i < length; ++i, ++position_)
        data_[position_] = position_ - floor_ >= distance ? data_[position_ - distance] : 0;
}

bool InflateWindow::copyMatch(uint32_t distance, uint32_t length, const Sink& sink) {
    while (length > 0) {
        const uint32_t piece = std::min(length, areaEnd_ - position_);
        if (distance > position_ - floor_ || piece + kMatchCopyOverrun > roomEnd_ - position_) {
            copyReachingBack(distance, piece);
        } else {
            vexmar::copyMatch(data_ + position_, distance, piece);
            position_ += piece;
        }
        length -= piece;
        if (position_ == areaEnd_ && !wrap(sink))
            return false;
    }
    return true;
}

bool InflateWindow::putBytes(const uint8_t* bytes, uint32_t count, const Sink& sink) {
    while (count > 0) {
        const uint32_t piece = std::min(count, areaEnd_ - position_);
        std::memcpy(data_ + position_, bytes, piece);
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
    const uint8_t* const bytes = data_ + flushMark_;
    if (placedIn_ != nullptr && placedIn_ != sink.output) {
        sink.log->logError("Inflate output changed within a stream.");
        return false;
    }
    const bool written = placedIn_ != nullptr
                             ? sink.output->writePlaced(bytes, count, sink.monitor, *sink.log)
                             : sink.output->write(bytes, count, sink.monitor, *sink.log);
    if (!written)
        return false;
    flushed_ += count;
    flushMark_ = position_;
    return true;
}

bool InflateWindow::wrap(const Sink& sink) {
    if (!flush(sink))
        return false;
    // The output's room holds one byte more than the limit, so the flush of a full one fails.
    if (placedIn_ != nullptr)
        return false;
    // A small area may move down bytes from before the stream's start; the floor moves with
    // them.
    const uint32_t moved = areaEnd_ - windowSize_;
    floor_ = floor_ > moved ? floor_ - moved : 0;
    std::memmove(data_, data_ + moved, windowSize_);
    position_ = flushMark_ = windowSize_;
    return true;
}

} // namespace vexmar
