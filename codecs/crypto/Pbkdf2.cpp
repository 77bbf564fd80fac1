// Block i of the output is U1 ^ U2 ^ ... ^ Uc, where U1 = HMAC(password, salt || i as a
// big-endian 32-bit number) and each further U is the HMAC of the one before.
#include "codecs/crypto/Pbkdf2.h"

#include "codecs/crypto/HmacSha1.h"

#include <cstring>

namespace vexmar {

void pbkdf2HmacSha1(const uint8_t* password, size_t passwordLength, const uint8_t* salt,
                    size_t saltLength, uint32_t iterations, uint8_t* out, size_t outLength) {
    HmacSha1 keyed;
    keyed.setKey(password, passwordLength);
    uint8_t u[HmacSha1::kDigestSize];
    uint8_t sum[HmacSha1::kDigestSize];
    for (uint32_t block = 1; outLength > 0; ++block) {
        const uint8_t index[4] = {uint8_t(block >> 24), uint8_t(block >> 16), uint8_t(block >> 8),
                                  uint8_t(block)};
        HmacSha1 mac = keyed;
        mac.update(salt, saltLength);
        mac.update(index, sizeof index);
        mac.finish(u);
        std::memcpy(sum, u, sizeof sum);
        for (uint32_t i = 1; i < iterations; ++i) {
            mac.update(u, sizeof u);
            mac.finish(u);
            for (size_t b = 0; b < sizeof sum; ++b)
                sum[b] ^= u[b];
        }
        const size_t take = outLength < sizeof sum ? outLength : sizeof sum;
        std::memcpy(out, sum, take);
        out += take;
        outLength -= take;
    }
    volatile uint8_t* wipe = u;
    for (size_t i = 0; i < sizeof u; ++i)
        wipe[i] = 0;
    wipe = sum;
    for (size_t i = 0; i < sizeof sum; ++i)
        wipe[i] = 0;
}

} // namespace vexmar
