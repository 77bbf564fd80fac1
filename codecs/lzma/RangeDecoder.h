// The binary range decoder LZMA codes every bit with: adaptive bits whose probability of a zero
// is an 11-bit value, direct bits of probability one half, and the bit trees built from them.
//
// Input is read without bounds checks: whoever sets `in` guarantees that kMaxSymbolInput bytes
// can be read from where a symbol starts (the last ones may be padding past the data's end,
// which the caller detects afterwards from where `in` ended up).
#pragma once

#include <cstdint>

namespace vexmar::lzma {

using Prob = uint16_t;

constexpr unsigned kProbBits = 11;
constexpr Prob kProbInit = 1u << (kProbBits - 1);
// The most input one symbol can take: a match with the longest length and distance codes, each
// bit at the least likely probability the models reach, is 20 bytes; the rest is margin.
constexpr uint32_t kMaxSymbolInput = 32;

struct RangeDecoder {
    static constexpr uint32_t kTop = 1u << 24;
    static constexpr unsigned kMoveBits = 5;

    uint32_t range = 0xFFFFFFFF;
    uint32_t code = 0;
    const uint8_t* in = nullptr;

    // The five bytes a stream opens with: a zero, then the first 32 bits of the code, which
    // must be below the full range.
    bool start(const uint8_t* bytes) {
        range = 0xFFFFFFFF;
        code = uint32_t(bytes[1]) << 24 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 8 |
               bytes[4];
        return bytes[0] == 0 && code != range;
    }

    // A stream ends with the code at zero: the encoder flushed all it had.
    bool finishedCleanly() const { return code == 0; }

    void normalize() {
        if (range < kTop) {
            range <<= 8;
            code = code << 8 | *in++;
        }
    }

    unsigned bit(Prob& p) {
        const uint32_t bound = (range >> kProbBits) * p;
        unsigned result;
        if (code < bound) {
            range = bound;
            p = Prob(p + (((1u << kProbBits) - p) >> kMoveBits));
            result = 0;
        } else {
            range -= bound;
            code -= bound;
            p = Prob(p - (p >> kMoveBits));
            result = 1;
        }
        normalize();
        return result;
    }

    uint32_t directBits(unsigned count) {
        uint32_t value = 0;
        while (count-- != 0) {
            range >>= 1;
            code -= range;
            const uint32_t mask = 0u - (code >> 31); // all ones when the bit is 0
            code += range & mask;
            value = (value << 1) + (mask + 1);
            normalize();
        }
        return value;
    }

    // `bits` bits, most significant first, each with the probability its prefix selects.
    uint32_t tree(Prob* probs, unsigned bits) {
        uint32_t m = 1;
        for (unsigned i = 0; i < bits; ++i)
            m = m << 1 | bit(probs[m]);
        return m - (1u << bits);
    }

    // The same with the least significant bit first.
    uint32_t reverseTree(Prob* probs, unsigned bits) {
        uint32_t m = 1;
        uint32_t value = 0;
        for (unsigned i = 0; i < bits; ++i) {
            const unsigned b = bit(probs[m]);
            m = m << 1 | b;
            value |= b << i;
        }
        return value;
    }
};

} // namespace vexmar::lzma
