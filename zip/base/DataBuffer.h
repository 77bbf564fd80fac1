// A growable byte buffer. It grows in large steps, may borrow a block it does
// not own, and can wipe its bytes before releasing them (for secrets).
#pragma once

#include "zip/base/VexmarObject.h"

#include <cstdint>

namespace vexmar {

class DataBuffer : public VexmarObject {
public:
    DataBuffer();
    ~DataBuffer() override;
    DataBuffer(const DataBuffer&) = delete;
    DataBuffer& operator=(const DataBuffer&) = delete;

    // Appending returns false (contents unchanged) when memory runs out.
    [[nodiscard]] bool append(const void* data, uint32_t n);
    [[nodiscard]] bool append(const DataBuffer& other);
    [[nodiscard]] bool appendByte(uint8_t b);
    // The bytes in reverse order: little-endian values on a big-endian host.
    [[nodiscard]] bool appendReversed(const void* data, uint32_t n);

    // Room for n more bytes, grown by the buffer's step rule.
    [[nodiscard]] bool ensureRoom(uint32_t n);
    // A capacity of at least `capacity` bytes, allocated exactly.
    [[nodiscard]] bool ensureCapacity(uint32_t capacity);

    // False when n exceeds the capacity.
    bool setSize(uint32_t n);
    // Drops the last n bytes (all of them when n exceeds the size).
    void shorten(uint32_t n);
    // Size 0; an owned block is kept for reuse, a borrowed one dropped.
    void clear();
    // Frees (or drops) the block.
    void release();
    // Takes a block from std::malloc as its own; it holds `size` bytes.
    void adopt(void* block, uint32_t size);
    // Refers to a caller's block; it is never written, freed or reallocated.
    // The first change copies it into a block of the buffer's own.
    void borrow(const void* block, uint32_t size);

    // The mutable pointer is for owned blocks; never write through it while borrowed.
    uint8_t* getData() { return data_; }
    const uint8_t* getData() const { return data_; }
    uint32_t getSize() const { return size_; }
    uint32_t getCapacity() const { return capacity_; }
    bool isEmpty() const { return size_ == 0; }
    bool isBorrowed() const { return borrowed_ != 0; }
    // Pointer to byte i, or null when i is out of range.
    uint8_t* at(uint32_t i);
    const uint8_t* at(uint32_t i) const;

    // Zeroes the bytes before the memory is released.
    void setWipe(bool wipe) { wipe_ = wipe ? 1 : 0; }
    bool equals(const void* data, uint32_t n) const;

private:
    bool reallocate(uint32_t newCapacity, uint32_t fallbackCapacity);
    bool ownBlock();
    void freeBlock();

    uint32_t size_ = 0;
    uint32_t capacity_ = 0;
    uint8_t tag_;
    uint8_t borrowed_ = 0;
    uint8_t* data_ = nullptr;
    uint8_t wipe_ = 0;
};

} // namespace vexmar
