// Block i of the output is U1 ^ U2 ^ ... ^ Uc, where U1 = HMAC(password, salt || i as a
// big-endian 32-bit number) and each further U is the HMAC of the one before. Every U after
// the first is a 20-byte message, so both of its hashes are single padded blocks run straight
// through the block function from the key's precomputed pad states: WinZip's 1000 iterations
// per entry cost little more than the 2000 block operations themselves.
#include "codecs/crypto/Pbkdf2.h"

#include "codecs/crypto/HmacSha1.h"
#include "codecs/crypto/Sha1Kernels.h"

#include <cstring>

namespace vexmar {

namespace {

constexpr uint32_t kInitial[5] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
constexpr size_t kDigest = 20;

void wipe(void* p, size_t n) {
    volatile uint8_t* bytes = static_cast<volatile uint8_t*>(p);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = 0;
}

void storeBe(const uint32_t state[5], uint8_t* out) {
    for (int i = 0; i < 5; ++i)
        for (int b = 0; b < 4; ++b)
            out[4 * i + b] = uint8_t(state[i] >> (24 - 8 * b));
}

// The state after hashing the key XORed with the pad byte.
void padState(const uint8_t key[64], uint8_t pad, uint32_t state[5]) {
    uint8_t block[64];
    for (int i = 0; i < 64; ++i)
        block[i] = uint8_t(key[i] ^ pad);
    std::memcpy(state, kInitial, sizeof kInitial);
    sha1Blocks(state, block, 1);
    wipe(block, sizeof block);
}

// A block holding a 20-byte digest after 64 bytes already hashed: the digest, the end mark
// and the length of 84 bytes in bits.
void digestBlock(uint8_t block[64]) {
    std::memset(block, 0, 64);
    block[kDigest] = 0x80;
    block[62] = uint8_t((84 * 8) >> 8);
    block[63] = uint8_t(84 * 8);
}

} // namespace

void pbkdf2HmacSha1(const uint8_t* password, size_t passwordLength, const uint8_t* salt,
                    size_t saltLength, uint32_t iterations, uint8_t* out, size_t outLength) {
    uint8_t key[64] = {};
    if (passwordLength > 64) {
        Sha1 shortened;
        shortened.update(password, passwordLength);
        shortened.finish(key);
    } else if (passwordLength > 0) {
        std::memcpy(key, password, passwordLength);
    }
    uint32_t inner[5], outer[5];
    padState(key, 0x36, inner);
    padState(key, 0x5C, outer);
    HmacSha1 keyed;
    keyed.setKey(password, passwordLength);

    uint8_t u[kDigest];
    uint8_t sum[kDigest];
    uint8_t innerBlock[64], outerBlock[64];
    digestBlock(innerBlock);
    digestBlock(outerBlock);
    for (uint32_t block = 1; outLength > 0; ++block) {
        const uint8_t index[4] = {uint8_t(block >> 24), uint8_t(block >> 16), uint8_t(block >> 8),
                                  uint8_t(block)};
        HmacSha1 mac = keyed;
        mac.update(salt, saltLength);
        mac.update(index, sizeof index);
        mac.finish(u);
        std::memcpy(sum, u, sizeof sum);
        std::memcpy(innerBlock, u, kDigest);
        for (uint32_t i = 1; i < iterations; ++i) {
            uint32_t state[5];
            std::memcpy(state, inner, sizeof state);
            sha1Blocks(state, innerBlock, 1);
            storeBe(state, outerBlock);
            std::memcpy(state, outer, sizeof state);
            sha1Blocks(state, outerBlock, 1);
            storeBe(state, innerBlock);
            for (size_t b = 0; b < kDigest; ++b)
                sum[b] ^= innerBlock[b];
        }
        const size_t take = outLength < sizeof sum ? outLength : sizeof sum;
        std::memcpy(out, sum, take);
        out += take;
        outLength -= take;
    }
    wipe(key, sizeof key);
    wipe(inner, sizeof inner);
    wipe(outer, sizeof outer);
    wipe(u, sizeof u);
    wipe(sum, sizeof sum);
    wipe(innerBlock, sizeof innerBlock);
    wipe(outerBlock, sizeof outerBlock);
}

} // namespace vexmar
