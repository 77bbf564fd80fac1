// The hot paths of UTF-8 <-> UTF-16 conversion: runs of ASCII, converted a
// block at a time (16 bytes with SSE2, 8 bytes otherwise). Each function
// consumes whole blocks only and stops at the first block that holds anything
// else, leaving it to the caller's per-character loop.
#pragma once

#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexmar {

// UTF-8 (ASCII) bytes at s to UTF-16LE units at p.
inline void widenAsciiRun(const uint8_t*& s, const uint8_t* end, uint8_t*& p) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    while (end - s >= 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        if (_mm_movemask_epi8(v))
            break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), _mm_unpackhi_epi8(v, zero));
        s += 16;
        p += 32;
    }
#endif
    while (end - s >= 8) {
        uint64_t w;
        std::memcpy(&w, s, 8);
        if (w & 0x8080808080808080ull)
            break;
        for (int i = 0; i < 8; ++i) {
            p[2 * i] = s[i];
            p[2 * i + 1] = 0;
        }
        s += 8;
        p += 16;
    }
}

// UTF-16LE units 0x01-0x7F at s to bytes at p. Unit 0 ends a block too: it is
// dropped, which the caller's loop does.
inline void narrowAsciiRun(const uint8_t*& s, const uint8_t* end, uint8_t*& p) {
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i high = _mm_set1_epi16(int16_t(0xFF80));
    while (end - s >= 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        __m128i below80 = _mm_cmpeq_epi16(_mm_and_si128(v, high), zero);
        __m128i isZero = _mm_cmpeq_epi16(v, zero);
        if (_mm_movemask_epi8(_mm_andnot_si128(isZero, below80)) != 0xFFFF)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(p), _mm_packus_epi16(v, v));
        s += 16;
        p += 8;
    }
#endif
    while (end - s >= 8) {
        uint64_t w;
        std::memcpy(&w, s, 8);
        bool nonAscii = w & 0xFF80FF80FF80FF80ull;
        bool hasZero = (w - 0x0001000100010001ull) & ~w & 0x8000800080008000ull;
        if (nonAscii || hasZero)
            break;
        p[0] = s[0];
        p[1] = s[2];
        p[2] = s[4];
        p[3] = s[6];
        s += 8;
        p += 4;
    }
}

} // namespace vexmar
