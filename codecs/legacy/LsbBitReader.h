// A block of bytes read as a stream of bits, least significant bit of each byte first: the bit
// order of the old ZIP methods. Bits past the end read as zeros, so callers that must not
// decode padding compare bitsLeft() with what they are about to take.
#pragma once

#include <cstdint>

namespace vexmar {

class LsbBitReader {
public:
    LsbBitReader(const uint8_t* data, uint32_t length) : next_(data), end_(data + length) {}

    uint64_t bitsLeft() const { return count_ + 8 * uint64_t(end_ - next_); }

    // The next n bits (n at most 32), without taking them.
    uint32_t peek(unsigned n) {
        if (count_ < n)
            refill();
        return uint32_t(bits_ & ((uint64_t(1) << n) - 1));
    }

    // Takes n bits (at most 32); past the end there is nothing more to take.
    void skip(unsigned n) {
        if (count_ < n)
            refill();
        if (n > count_)
            n = count_;
        bits_ >>= n;
        count_ -= n;
    }

    uint32_t read(unsigned n) {
        const uint32_t value = peek(n);
        skip(n);
        return value;
    }

private:
    void refill() {
        while (count_ <= 56 && next_ != end_) {
            bits_ |= uint64_t(*next_++) << count_;
            count_ += 8;
        }
    }

    const uint8_t* next_;
    const uint8_t* end_;
    uint64_t bits_ = 0;
    unsigned count_ = 0;
};

} // namespace vexmar
