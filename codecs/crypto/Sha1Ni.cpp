// SHA-1 with the processor's SHA instructions. Each round instruction does four rounds;
// the message schedule is extended four words at a time with the two schedule instructions.
// The state sits with A in the top lane, as the instructions want it.
#include "codecs/crypto/Sha1Kernels.h"

#if defined(VEXMAR_SHA_NI)

#include <immintrin.h>

#include "zip/base/CpuFeatures.h"

#define VEXMAR_SHANI __attribute__((target("sha,ssse3,sse4.1")))
#if defined(__i386__)
// 32-bit Windows keeps the stack only 4-byte aligned; spilled vector registers need 16.
#define VEXMAR_SHANI_ENTRY __attribute__((target("sha,ssse3,sse4.1"), force_align_arg_pointer))
#else
#define VEXMAR_SHANI_ENTRY VEXMAR_SHANI
#endif

namespace vexmar {

bool cpuHasShaNi() {
    const CpuFeatures& f = cpuFeatures();
    return f.ssse3 && f.sse41 && f.sha;
}

namespace {

struct Lanes {
    __m128i w[4]; // the last sixteen schedule words, four to a register
    __m128i abcd;
    __m128i previous; // abcd before the last four rounds, for the next E
};

// Four rounds of group g (rounds 4g to 4g+3) with round function F.
template <int F>
VEXMAR_SHANI inline void group(Lanes& s, int g, __m128i& e, const uint8_t* data,
                               const __m128i& byteOrder) {
    __m128i& w = s.w[g & 3];
    if (g < 4) {
        w = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * g)),
                             byteOrder);
    } else {
        const __m128i partial =
            _mm_xor_si128(_mm_sha1msg1_epu32(w, s.w[(g + 1) & 3]), s.w[(g + 2) & 3]);
        w = _mm_sha1msg2_epu32(partial, s.w[(g + 3) & 3]);
    }
    const __m128i roundE = g == 0 ? _mm_add_epi32(e, w) : _mm_sha1nexte_epu32(s.previous, w);
    s.previous = s.abcd;
    s.abcd = _mm_sha1rnds4_epu32(s.abcd, roundE, F);
}

} // namespace

VEXMAR_SHANI_ENTRY void sha1BlocksNi(uint32_t state[5], const uint8_t* data, size_t blocks) {
    const __m128i byteOrder = _mm_set_epi64x(0x0001020304050607LL, 0x08090A0B0C0D0E0FLL);
    Lanes s;
    s.abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0x1B);
    __m128i e = _mm_set_epi32(static_cast<int>(state[4]), 0, 0, 0);
    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abcdStart = s.abcd;
        const __m128i eStart = e;
        for (int g = 0; g < 5; ++g)
            group<0>(s, g, e, data, byteOrder);
        for (int g = 5; g < 10; ++g)
            group<1>(s, g, e, data, byteOrder);
        for (int g = 10; g < 15; ++g)
            group<2>(s, g, e, data, byteOrder);
        for (int g = 15; g < 20; ++g)
            group<3>(s, g, e, data, byteOrder);
        e = _mm_sha1nexte_epu32(s.previous, eStart);
        s.abcd = _mm_add_epi32(s.abcd, abcdStart);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_shuffle_epi32(s.abcd, 0x1B));
    state[4] = static_cast<uint32_t>(_mm_extract_epi32(e, 3));
}

} // namespace vexmar

#endif
