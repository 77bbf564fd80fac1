// CRC-32 by folding with carry-less multiplication (PCLMULQDQ).
//
// A 16-byte register read from the message holds a polynomial of degree < 128: bit i (bit 0 is
// the low bit of the first byte) is the coefficient of x^(127 - i), the order in which ZIP feeds
// bits. Its low 64-bit lane is the upper half H and its high lane the lower half L, so the
// register is H x^64 + L. The carry-less product of two lanes read this way is the polynomial
// product times x.
//
// Carrying a register N bits further along the message multiplies it by x^N. Modulo the
// generator P that is H (x^(N+63) mod P) x + L (x^(N-1) mod P) x: two products of at most 96
// bits, which can be added to the register N bits on. Four registers, 64 bytes apart, are
// carried forward in parallel; at the end they are folded into one, and its 16 bytes, run
// through the table from a zero start, give the CRC of everything folded.
#include "zip/base/checksum/CrcKernels.h"

#if defined(VEXMAR_CRC32_CLMUL)

#include "zip/base/checksum/CrcTables.h"

#include <immintrin.h>

// The functions carry their own instruction set, so the file builds without global -m flags
// and the caller decides at run time whether to enter it.
#define VEXMAR_CLMUL __attribute__((target("pclmul,sse4.1")))
#if defined(__i386__)
// 32-bit Windows keeps the stack only 4-byte aligned; spilled vector registers need 16.
#define VEXMAR_CLMUL_ENTRY __attribute__((target("pclmul,sse4.1"), force_align_arg_pointer))
#else
#define VEXMAR_CLMUL_ENTRY VEXMAR_CLMUL
#endif

namespace vexmar {

namespace {

// x^n mod P, most significant coefficient first.
constexpr uint32_t xPowerModP(unsigned n) {
    uint32_t r = 1;
    for (; n > 0; --n)
        r = (r & 0x80000000u) ? (r << 1) ^ kCrc32Polynomial : r << 1;
    return r;
}

// A polynomial of degree < 32 as a 64-bit lane in the register order described above.
constexpr uint64_t asLane(uint32_t poly) {
    return uint64_t(reverseBits32(poly)) << 32;
}

// The multipliers for carrying a register N bits on: for H in the low lane, for L in the high.
template <unsigned N> struct FoldBy {
    static constexpr uint64_t forHigh = asLane(xPowerModP(N + 63));
    static constexpr uint64_t forLow = asLane(xPowerModP(N - 1));
};

VEXMAR_CLMUL inline __m128i multipliers(uint64_t forHigh, uint64_t forLow) {
    return _mm_set_epi64x(static_cast<long long>(forLow), static_cast<long long>(forHigh));
}

VEXMAR_CLMUL inline __m128i load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The register carried on by the multipliers' distance, added to the register found there.
VEXMAR_CLMUL inline __m128i fold(__m128i reg, __m128i k, __m128i there) {
    const __m128i high = _mm_clmulepi64_si128(reg, k, 0x00);
    const __m128i low = _mm_clmulepi64_si128(reg, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), there);
}

} // namespace

VEXMAR_CLMUL_ENTRY uint32_t crc32Clmul(uint32_t running, const uint8_t* data, size_t length) {
    if (length < 64)
        return crc32Slice16(running, data, length);

    // The running value enters as the first 32 bits of the message.
    __m128i x0 = _mm_xor_si128(load(data), _mm_cvtsi32_si128(static_cast<int>(running)));
    __m128i x1 = load(data + 16);
    __m128i x2 = load(data + 32);
    __m128i x3 = load(data + 48);
    data += 64;
    length -= 64;

    const __m128i by512 = multipliers(FoldBy<512>::forHigh, FoldBy<512>::forLow);
    for (; length >= 64; data += 64, length -= 64) {
        x0 = fold(x0, by512, load(data));
        x1 = fold(x1, by512, load(data + 16));
        x2 = fold(x2, by512, load(data + 32));
        x3 = fold(x3, by512, load(data + 48));
    }

    const __m128i by128 = multipliers(FoldBy<128>::forHigh, FoldBy<128>::forLow);
    __m128i x = fold(fold(fold(x0, by128, x1), by128, x2), by128, x3);
    for (; length >= 16; data += 16, length -= 16)
        x = fold(x, by128, load(data));

    // The register is congruent to everything folded so far, so its CRC from a zero start is the
    // running value for it.
    alignas(16) uint8_t folded[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(folded), x);
    return crc32Slice16(crc32Slice16(0, folded, sizeof folded), data, length);
}

} // namespace vexmar

#endif
