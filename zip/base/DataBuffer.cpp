#include "zip/base/DataBuffer.h"

#include "zip/base/ValidityTag.h"

#include <cstdlib>
#include <cstring>

namespace vexmar {

namespace {

constexpr uint8_t kTag = 0xDB;
constexpr uint32_t kMinHeadroom = 20000;

// Headroom for n more bytes: large buffers grow by large steps, so that many
// small appends to a big buffer stay linear.
uint64_t headroom(uint32_t size, uint32_t n) {
    static constexpr uint32_t kSteps[] = {12000000, 8000000, 4000000, 3000000,
                                          2000000,  1000000, 100000,  50000};
    uint64_t room = n;
    for (uint32_t step : kSteps) {
        if (size >= step && n < step) {
            room = step;
            break;
        }
    }
    return room < kMinHeadroom ? kMinHeadroom : room;
}

void wipeBytes(uint8_t* p, uint32_t n) {
    // volatile, so that zeroing memory about to be freed is not optimised away
    volatile uint8_t* v = p;
    for (uint32_t i = 0; i < n; ++i)
        v[i] = 0;
}

} // namespace

DataBuffer::DataBuffer() : tag_(kTag) {}

DataBuffer::~DataBuffer() {
    checkValidityTag(tag_, kTag);
    freeBlock();
    clearValidityTag(tag_);
}

void DataBuffer::freeBlock() {
    if (data_ && !borrowed_) {
        if (wipe_)
            wipeBytes(data_, capacity_);
        std::free(data_);
    }
    data_ = nullptr;
    capacity_ = 0;
    size_ = 0;
    borrowed_ = 0;
}

bool DataBuffer::reallocate(uint32_t newCapacity, uint32_t fallbackCapacity) {
    auto* block = static_cast<uint8_t*>(std::malloc(newCapacity));
    if (!block && fallbackCapacity) {
        newCapacity = fallbackCapacity;
        block = static_cast<uint8_t*>(std::malloc(newCapacity));
    }
    if (!block)
        return false;
    if (size_)
        std::memcpy(block, data_, size_);
    uint32_t size = size_;
    freeBlock();
    data_ = block;
    capacity_ = newCapacity;
    size_ = size;
    return true;
}

bool DataBuffer::ensureRoom(uint32_t n) {
    checkValidityTag(tag_, kTag);
    uint64_t needed = uint64_t(size_) + n;
    if (needed > UINT32_MAX)
        return false;
    // A borrowed block is never written: any growth makes a block of our own.
    if (needed <= capacity_ && !borrowed_)
        return true;
    uint64_t capacity = size_ + headroom(size_, n);
    uint64_t fallback = needed + 400;
    if (capacity > UINT32_MAX)
        capacity = needed;
    if (fallback > UINT32_MAX)
        fallback = needed;
    return reallocate(uint32_t(capacity), uint32_t(fallback));
}

bool DataBuffer::ensureCapacity(uint32_t capacity) {
    checkValidityTag(tag_, kTag);
    if (capacity <= capacity_ && !borrowed_)
        return true;
    if (capacity < size_)
        capacity = size_;
    return reallocate(capacity, 0);
}

// Copies a borrowed block, all of it (bytes past the size included), into one
// of our own.
bool DataBuffer::ownBlock() {
    if (!borrowed_)
        return true;
    uint32_t size = size_;
    size_ = capacity_;
    bool ok = reallocate(capacity_ ? capacity_ : 1, 0);
    size_ = size;
    return ok;
}

bool DataBuffer::append(const void* data, uint32_t n) {
    if (n == 0)
        return true;
    if (!ensureRoom(n))
        return false;
    std::memcpy(data_ + size_, data, n);
    size_ += n;
    return true;
}

bool DataBuffer::append(const DataBuffer& other) {
    if (&other != this)
        return append(other.data_, other.size_);
    // Appending to itself: the source moves when the block grows.
    uint32_t n = size_;
    if (!ensureRoom(n))
        return false;
    std::memcpy(data_ + size_, data_, n);
    size_ += n;
    return true;
}

bool DataBuffer::appendByte(uint8_t b) {
    return append(&b, 1);
}

bool DataBuffer::appendReversed(const void* data, uint32_t n) {
    if (n == 0)
        return true;
    if (!ensureRoom(n))
        return false;
    const auto* src = static_cast<const uint8_t*>(data);
    for (uint32_t i = 0; i < n; ++i)
        data_[size_ + i] = src[n - 1 - i];
    size_ += n;
    return true;
}

bool DataBuffer::setSize(uint32_t n) {
    checkValidityTag(tag_, kTag);
    if (n > capacity_)
        return false;
    if (n > size_ && !ownBlock())
        return false;
    size_ = n;
    return true;
}

void DataBuffer::shorten(uint32_t n) {
    checkValidityTag(tag_, kTag);
    size_ = n >= size_ ? 0 : size_ - n;
}

void DataBuffer::clear() {
    checkValidityTag(tag_, kTag);
    if (borrowed_) {
        freeBlock();
        return;
    }
    if (wipe_ && data_)
        wipeBytes(data_, size_);
    size_ = 0;
}

void DataBuffer::release() {
    checkValidityTag(tag_, kTag);
    freeBlock();
}

void DataBuffer::adopt(void* block, uint32_t size) {
    checkValidityTag(tag_, kTag);
    freeBlock();
    data_ = static_cast<uint8_t*>(block);
    if (data_) {
        size_ = size;
        capacity_ = size;
    }
}

void DataBuffer::borrow(const void* block, uint32_t size) {
    checkValidityTag(tag_, kTag);
    freeBlock();
    if (!block)
        return;
    data_ = const_cast<uint8_t*>(static_cast<const uint8_t*>(block));
    size_ = size;
    capacity_ = size;
    borrowed_ = 1;
}

uint8_t* DataBuffer::at(uint32_t i) {
    checkValidityTag(tag_, kTag);
    return i < size_ ? data_ + i : nullptr;
}

const uint8_t* DataBuffer::at(uint32_t i) const {
    checkValidityTag(tag_, kTag);
    return i < size_ ? data_ + i : nullptr;
}

bool DataBuffer::equals(const void* data, uint32_t n) const {
    checkValidityTag(tag_, kTag);
    return n == size_ && (n == 0 || std::memcmp(data_, data, n) == 0);
}

} // namespace vexmar
