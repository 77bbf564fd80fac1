#include "zip/base/stream/MemoryDataSource.h"

#include <cstdlib>
#include <cstring>

namespace vexmar {

MemoryDataSource::~MemoryDataSource() {
    close();
}

void MemoryDataSource::close() {
    if (owned_)
        std::free(const_cast<uint8_t*>(data_));
    data_ = nullptr;
    size_ = 0;
    owned_ = false;
    position_ = 0;
}

void MemoryDataSource::borrow(const void* data, uint64_t size) {
    close();
    data_ = static_cast<const uint8_t*>(data);
    size_ = data ? size : 0;
}

void MemoryDataSource::adopt(void* data, uint64_t size) {
    borrow(data, size);
    owned_ = data != nullptr;
}

bool MemoryDataSource::readRaw(uint8_t* buffer, uint32_t max, uint32_t& count, bool& atEnd,
                               ProgressMonitor*, LogBase&) {
    const uint64_t remaining = size_ - position_;
    count = remaining < max ? uint32_t(remaining) : max;
    if (count)
        std::memcpy(buffer, data_ + position_, count);
    position_ += count;
    atEnd = position_ >= size_;
    return true;
}

bool MemoryDataSource::lendRaw(const uint8_t*& data, uint32_t max, uint32_t& count, bool& atEnd,
                               LogBase&) {
    const uint64_t remaining = size_ - position_;
    count = remaining < max ? uint32_t(remaining) : max;
    data = data_ + position_;
    position_ += count;
    atEnd = position_ >= size_;
    return true;
}

bool MemoryDataSource::seekAbsolute(int64_t position) {
    position_ = position < 0 ? 0 : uint64_t(position) > size_ ? size_ : uint64_t(position);
    return true;
}

bool MemoryDataSource::seekRelative(int64_t offset) {
    if (offset < 0)
        position_ = uint64_t(-offset) > position_ ? 0 : position_ - uint64_t(-offset);
    else
        position_ = uint64_t(offset) > size_ - position_ ? size_ : position_ + uint64_t(offset);
    return true;
}

bool MemoryDataSource::scanForUint32(uint32_t value) {
    const uint8_t pattern[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                                uint8_t(value >> 24)};
    for (uint64_t at = position_; size_ >= 4 && at <= size_ - 4; ++at) {
        if (std::memcmp(data_ + at, pattern, 4) == 0) {
            position_ = at + 4;
            return true;
        }
    }
    position_ = size_;
    return false;
}

} // namespace vexmar
