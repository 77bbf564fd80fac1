#include "codecs/legacy/BoundedSink.h"

#include "zip/base/DataBuffer.h"
#include "zip/base/LogBase.h"

#include <algorithm>
#include <cstring>

namespace vexmar {

BoundedSink::BoundedSink(DataBuffer& out, uint64_t expectedSize)
    : out_(out), expected_(expectedSize), start_(out.getSize()),
      limit_(uint32_t(std::min<uint64_t>(expectedSize, UINT32_MAX - out.getSize()))) {}

// The buffer grows by half its size at a time (never past the limit), so that building a large
// output one byte at a time stays linear.
bool BoundedSink::makeRoom(uint32_t count, LogBase& log) {
    const uint32_t size = out_.getSize();
    if (out_.getCapacity() - size >= count)
        return true;
    const uint64_t end = uint64_t(start_) + limit_;
    const uint64_t wanted = std::max<uint64_t>({uint64_t(size) + count, size + size / 2, 65536});
    const uint32_t capacity = uint32_t(std::min(wanted, end));
    if (out_.ensureCapacity(capacity) || out_.ensureCapacity(size + count))
        return true;
    log.logOutOfMemory("BoundedSink", size + count);
    return false;
}

bool BoundedSink::put(uint8_t byte, LogBase& log) {
    if (full())
        return true;
    if (!makeRoom(1, log) || !out_.appendByte(byte))
        return false;
    ++written_;
    return true;
}

bool BoundedSink::put(const uint8_t* bytes, uint32_t count, LogBase& log) {
    count = std::min(count, limit_ - written_);
    if (count == 0)
        return true;
    if (!makeRoom(count, log) || !out_.append(bytes, count))
        return false;
    written_ += count;
    return true;
}

bool BoundedSink::copyMatch(uint32_t distance, uint32_t length, LogBase& log) {
    length = std::min(length, limit_ - written_);
    if (length == 0)
        return true;
    if (!makeRoom(length, log))
        return false;
    const uint32_t size = out_.getSize();
    uint8_t* to = out_.getData() + size;
    uint8_t* const end = to + length;
    if (distance > written_) {
        const uint32_t zeros = std::min(length, distance - written_);
        std::memset(to, 0, zeros);
        to += zeros;
    }
    if (to != end) {
        for (const uint8_t* from = to - distance; to != end;)
            *to++ = *from++;
    }
    out_.setSize(size + length);
    written_ += length;
    return true;
}

void BoundedSink::noteEnd(LogBase& log) const {
    if (written_ == expected_)
        return;
    if (full()) {
        log.logError("The entry is too large to be decoded in memory.");
    } else {
        log.logInfo("The compressed data ended before the entry's size was reached.");
    }
    log.logDataInt64("expectedSize", int64_t(expected_));
    log.logDataInt64("decodedSize", int64_t(written_));
}

} // namespace vexmar
