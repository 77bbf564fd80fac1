#include "zip/base/checksum/Adler32.h"

#include <bit>
#include <cstring>
#include <type_traits>

namespace vexmar {

namespace {

constexpr uint32_t kModulus = 65521;

// The longest run of bytes after which b cannot have overflowed 32 bits, even when both sums
// start at 65535: 65535 + n 65535 + 255 n (n + 1) / 2 < 2^32.
constexpr size_t kRunBeforeReduce = 5552;

// The fast loop sums the bytes of a machine word at once, in 16-bit lanes of a register.
using Word = std::conditional_t<(sizeof(void*) >= 8), uint64_t, uint32_t>;
static_assert(std::endian::native == std::endian::little, "bytes are loaded into lanes in order");
constexpr unsigned kWordBytes = sizeof(Word);
constexpr unsigned kTopLane = 8 * kWordBytes - 16;

// A word holding valueOf(lane) in each 16-bit lane, lane 0 lowest.
template <class ValueOf> constexpr Word laneWord(ValueOf valueOf) {
    Word w = 0;
    for (unsigned lane = 0; lane < kWordBytes / 2; ++lane)
        w |= Word(valueOf(lane)) << (16 * lane);
    return w;
}

constexpr Word kLowBytes = laneWord([](unsigned) { return 0xFF; });
constexpr Word kOnes = laneWord([](unsigned) { return 1; });
// Lane i of the even bytes holds byte 2i, of the odd bytes byte 2i + 1. Multiplied by these,
// the top lane gathers each byte times the number of bytes from it to the end of the word.
constexpr Word kEvenWeights = laneWord([](unsigned lane) { return 2 * lane + 2; });
constexpr Word kOddWeights = laneWord([](unsigned lane) { return 2 * lane + 1; });

struct WordSums {
    uint32_t sum;      // what the bytes add to a
    uint32_t weighted; // what they add to b beyond kWordBytes times the a before them
};

// No lane sum can exceed 16 bits (at most 36 * 255), so no carry reaches the top lane.
inline WordSums sumsOf(const uint8_t* p) {
    Word w;
    std::memcpy(&w, p, sizeof w);
    const Word even = w & kLowBytes;
    const Word odd = (w >> 8) & kLowBytes;
    return {uint32_t(((even + odd) * kOnes) >> kTopLane),
            uint32_t((even * kEvenWeights + odd * kOddWeights) >> kTopLane)};
}

} // namespace

uint32_t adler32Bytewise(uint32_t previous, const uint8_t* data, size_t length) {
    uint32_t a = previous & 0xFFFF;
    uint32_t b = previous >> 16;
    for (size_t i = 0; i < length; ++i) {
        a = (a + data[i]) % kModulus;
        b = (b + a) % kModulus;
    }
    return a | b << 16;
}

uint32_t adler32Update(uint32_t previous, const void* data, size_t length) {
    if (!data)
        return previous;
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t a = previous & 0xFFFF;
    uint32_t b = previous >> 16;
    while (length > 0) {
        size_t run = length < kRunBeforeReduce ? length : kRunBeforeReduce;
        length -= run;
        // Two words per round; b takes the same values a byte-at-a-time loop has there.
        for (; run >= 2 * kWordBytes; run -= 2 * kWordBytes, p += 2 * kWordBytes) {
            const WordSums first = sumsOf(p);
            const WordSums second = sumsOf(p + kWordBytes);
            b += 2 * kWordBytes * a + kWordBytes * first.sum + first.weighted + second.weighted;
            a += first.sum + second.sum;
        }
        for (; run > 0; --run, ++p) {
            a += *p;
            b += a;
        }
        a %= kModulus;
        b %= kModulus;
    }
    return a | b << 16;
}

} // namespace vexmar
