// AES with the processor's AES instructions. Counter mode runs eight blocks side by side,
// since each round instruction takes several cycles to finish but a new one can start
// every cycle.
#include "codecs/crypto/AesKernels.h"

#if defined(VEXMAR_AES_NI)

#include <immintrin.h>

#include "zip/base/CpuFeatures.h"

#define VEXMAR_AESNI __attribute__((target("aes,sse4.1")))
#if defined(__i386__)
// 32-bit Windows keeps the stack only 4-byte aligned; spilled vector registers need 16.
#define VEXMAR_AESNI_ENTRY __attribute__((target("aes,sse4.1"), force_align_arg_pointer))
#else
#define VEXMAR_AESNI_ENTRY VEXMAR_AESNI
#endif

namespace vexmar {

bool cpuHasAesNi() {
    return cpuFeatures().aes && cpuFeatures().sse41;
}

namespace {

constexpr int kLanes = 8;

// An unaligned load: the round keys may sit at any address (32-bit Windows aligns the heap to 8
// bytes only), and an aligned load here would let the compiler fold it into the round
// instruction, whose memory operand faults unless it is 16-byte aligned.
VEXMAR_AESNI inline __m128i loadKey(const uint8_t* roundKeys, int i) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(roundKeys + 16 * i));
}

VEXMAR_AESNI inline __m128i counterBlock(uint64_t value) {
    return _mm_set_epi64x(0, static_cast<long long>(value));
}

} // namespace

VEXMAR_AESNI_ENTRY void aesEncryptNi(const uint8_t* roundKeys, int rounds, const uint8_t in[16],
                                     uint8_t out[16]) {
    __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    s = _mm_xor_si128(s, loadKey(roundKeys, 0));
    for (int r = 1; r < rounds; ++r)
        s = _mm_aesenc_si128(s, loadKey(roundKeys, r));
    s = _mm_aesenclast_si128(s, loadKey(roundKeys, rounds));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), s);
}

VEXMAR_AESNI_ENTRY void aesCtrXorNi(const uint8_t* roundKeys, int rounds, uint64_t& counter,
                                    uint8_t* data, size_t blocks) {
    const __m128i first = loadKey(roundKeys, 0);
    const __m128i last = loadKey(roundKeys, rounds);
    uint64_t c = counter;
    while (blocks >= kLanes) {
        __m128i s[kLanes];
        for (int i = 0; i < kLanes; ++i)
            s[i] = _mm_xor_si128(counterBlock(c + 1 + uint64_t(i)), first);
        for (int r = 1; r < rounds; ++r) {
            const __m128i k = loadKey(roundKeys, r);
            for (int i = 0; i < kLanes; ++i)
                s[i] = _mm_aesenc_si128(s[i], k);
        }
        for (int i = 0; i < kLanes; ++i) {
            __m128i* p = reinterpret_cast<__m128i*>(data + 16 * i);
            const __m128i stream = _mm_aesenclast_si128(s[i], last);
            _mm_storeu_si128(p, _mm_xor_si128(_mm_loadu_si128(p), stream));
        }
        c += kLanes;
        data += 16 * kLanes;
        blocks -= kLanes;
    }
    for (; blocks > 0; --blocks, data += 16) {
        ++c;
        __m128i s = _mm_xor_si128(counterBlock(c), first);
        for (int r = 1; r < rounds; ++r)
            s = _mm_aesenc_si128(s, loadKey(roundKeys, r));
        s = _mm_aesenclast_si128(s, last);
        __m128i* p = reinterpret_cast<__m128i*>(data);
        _mm_storeu_si128(p, _mm_xor_si128(_mm_loadu_si128(p), s));
    }
    counter = c;
}

} // namespace vexmar

#endif
