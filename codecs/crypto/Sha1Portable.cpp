// SHA-1 block function in plain C++, with a 16-word rolling message schedule.
#include "codecs/crypto/Sha1Kernels.h"

#include "zip/base/ByteOrder.h"

namespace vexmar {

namespace {

inline uint32_t rotl(uint32_t v, int n) {
    return (v << n) | (v >> (32 - n));
}

struct Rounds {
    uint32_t w[16];
    uint32_t a, b, c, d, e;

    uint32_t word(int i) {
        if (i < 16)
            return w[i];
        const uint32_t next =
            rotl(w[(i + 13) & 15] ^ w[(i + 8) & 15] ^ w[(i + 2) & 15] ^ w[i & 15], 1);
        w[i & 15] = next;
        return next;
    }

    void step(uint32_t f, uint32_t k, uint32_t wi) {
        const uint32_t t = rotl(a, 5) + f + e + k + wi;
        e = d;
        d = c;
        c = rotl(b, 30);
        b = a;
        a = t;
    }
};

} // namespace

void sha1BlocksPortable(uint32_t state[5], const uint8_t* data, size_t blocks) {
    for (; blocks > 0; --blocks, data += 64) {
        Rounds r;
        for (int i = 0; i < 16; ++i)
            r.w[i] = be32(data + 4 * i);
        r.a = state[0];
        r.b = state[1];
        r.c = state[2];
        r.d = state[3];
        r.e = state[4];
        for (int i = 0; i < 20; ++i)
            r.step((r.b & r.c) | (~r.b & r.d), 0x5A827999, r.word(i));
        for (int i = 20; i < 40; ++i)
            r.step(r.b ^ r.c ^ r.d, 0x6ED9EBA1, r.word(i));
        for (int i = 40; i < 60; ++i)
            r.step((r.b & r.c) | (r.b & r.d) | (r.c & r.d), 0x8F1BBCDC, r.word(i));
        for (int i = 60; i < 80; ++i)
            r.step(r.b ^ r.c ^ r.d, 0xCA62C1D6, r.word(i));
        state[0] += r.a;
        state[1] += r.b;
        state[2] += r.c;
        state[3] += r.d;
        state[4] += r.e;
    }
}

} // namespace vexmar
