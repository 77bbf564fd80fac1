// AES encryption without lookup tables. The S-box is computed: the multiplicative inverse in
// GF(2^8) as x^254 by square-and-multiply, then the affine map. Eight bytes share one 64-bit
// word, so each field operation handles eight state bytes at once. Every step is the same
// sequence of instructions whatever the key and data, which keeps the cipher free of
// secret-dependent memory addresses and branches; the price is speed, which is why the AES
// instructions are used wherever the processor has them.
#include "codecs/crypto/AesKernels.h"

#include <cstring>

namespace vexmar {

namespace {

constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
constexpr uint64_t kHigh1 = 0x8080808080808080ULL;
constexpr uint64_t kLow1 = 0x0101010101010101ULL;

// Multiplication by x in every byte, reducing by x^8 + x^4 + x^3 + x + 1.
inline uint64_t times2(uint64_t v) {
    return ((v & kLow7) << 1) ^ (((v & kHigh1) >> 7) * 0x1B);
}

inline uint64_t gfMultiply(uint64_t a, uint64_t b) {
    uint64_t product = 0;
    for (int bit = 0; bit < 8; ++bit) {
        const uint64_t take = ((b >> bit) & kLow1) * 0xFF;
        product ^= a & take;
        a = times2(a);
    }
    return product;
}

inline uint64_t gfSquare(uint64_t a) {
    return gfMultiply(a, a);
}

// Rotates every byte left by k bits.
inline uint64_t rotateBytes(uint64_t v, int k) {
    const uint64_t keepLeft = kLow1 * ((0xFFu << k) & 0xFFu);
    const uint64_t keepRight = kLow1 * (0xFFu >> (8 - k));
    return ((v << k) & keepLeft) | ((v >> (8 - k)) & keepRight);
}

inline uint8_t times2(uint8_t v) {
    return uint8_t((v << 1) ^ ((v >> 7) * 0x1B));
}

void subBytes(uint8_t state[16]) {
    uint64_t half[2];
    std::memcpy(half, state, 16);
    half[0] = aesSubBytes8(half[0]);
    half[1] = aesSubBytes8(half[1]);
    std::memcpy(state, half, 16);
}

// Byte r + 4c of the state is row r of column c; row r moves r columns to the left.
void shiftRows(uint8_t s[16]) {
    uint8_t t[16];
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            t[r + 4 * c] = s[r + 4 * ((c + r) & 3)];
    std::memcpy(s, t, 16);
}

void mixColumns(uint8_t s[16]) {
    for (int c = 0; c < 4; ++c) {
        uint8_t* a = s + 4 * c;
        const uint8_t a0 = a[0], a1 = a[1], a2 = a[2], a3 = a[3];
        const uint8_t all = uint8_t(a0 ^ a1 ^ a2 ^ a3);
        a[0] = uint8_t(a0 ^ all ^ times2(uint8_t(a0 ^ a1)));
        a[1] = uint8_t(a1 ^ all ^ times2(uint8_t(a1 ^ a2)));
        a[2] = uint8_t(a2 ^ all ^ times2(uint8_t(a2 ^ a3)));
        a[3] = uint8_t(a3 ^ all ^ times2(uint8_t(a3 ^ a0)));
    }
}

void addRoundKey(uint8_t s[16], const uint8_t* key) {
    for (int i = 0; i < 16; ++i)
        s[i] ^= key[i];
}

} // namespace

uint64_t aesSubBytes8(uint64_t x) {
    // x^254 = x^-1 (and 0 for 0): x^2, x^3, x^6, x^12, x^14, x^15, x^30 ... x^240, x^254.
    const uint64_t x2 = gfSquare(x);
    const uint64_t x3 = gfMultiply(x2, x);
    const uint64_t x12 = gfSquare(gfSquare(x3));
    const uint64_t x14 = gfMultiply(x12, x2);
    const uint64_t x15 = gfMultiply(x12, x3);
    const uint64_t x240 = gfSquare(gfSquare(gfSquare(gfSquare(x15))));
    const uint64_t inverse = gfMultiply(x240, x14);
    return inverse ^ rotateBytes(inverse, 1) ^ rotateBytes(inverse, 2) ^ rotateBytes(inverse, 3) ^
           rotateBytes(inverse, 4) ^ (kLow1 * 0x63);
}

void aesEncryptPortable(const uint8_t* roundKeys, int rounds, const uint8_t in[16],
                        uint8_t out[16]) {
    uint8_t s[16];
    std::memcpy(s, in, 16);
    addRoundKey(s, roundKeys);
    for (int round = 1; round < rounds; ++round) {
        subBytes(s);
        shiftRows(s);
        mixColumns(s);
        addRoundKey(s, roundKeys + 16 * round);
    }
    subBytes(s);
    shiftRows(s);
    addRoundKey(s, roundKeys + 16 * rounds);
    std::memcpy(out, s, 16);
}

void aesCtrXorPortable(const uint8_t* roundKeys, int rounds, uint64_t& counter, uint8_t* data,
                       size_t blocks) {
    uint8_t block[16];
    uint8_t stream[16];
    for (size_t b = 0; b < blocks; ++b, data += 16) {
        ++counter;
        for (int i = 0; i < 8; ++i) {
            block[i] = uint8_t(counter >> (8 * i));
            block[8 + i] = 0;
        }
        aesEncryptPortable(roundKeys, rounds, block, stream);
        for (int i = 0; i < 16; ++i)
            data[i] ^= stream[i];
    }
}

} // namespace vexmar
