// The AES key schedule and the choice between the portable loops and the AES instructions.
#include "codecs/crypto/Aes.h"

#include "codecs/crypto/AesKernels.h"

#include <cstring>

namespace vexmar {

namespace {

bool processorHasAesNi() {
#if defined(VEXMAR_AES_NI)
    static const bool has = cpuHasAesNi();
    return has;
#else
    return false;
#endif
}

// The S-box on the four bytes of a word.
void subWord(uint8_t w[4]) {
    uint64_t packed = 0;
    std::memcpy(&packed, w, 4);
    packed = aesSubBytes8(packed);
    std::memcpy(w, &packed, 4);
}

} // namespace

AesEncryptor::AesEncryptor() : useNi_(processorHasAesNi()) {}

AesEncryptor::~AesEncryptor() {
    volatile uint8_t* p = roundKeys_;
    for (size_t i = 0; i < sizeof roundKeys_; ++i)
        p[i] = 0;
}

void AesEncryptor::usePortableCode(bool on) {
    useNi_ = !on && processorHasAesNi();
}

bool AesEncryptor::setKey(const uint8_t* key, size_t keyBytes) {
    if (keyBytes != 16 && keyBytes != 24 && keyBytes != 32)
        return false;
    const int nk = int(keyBytes / 4);
    rounds_ = nk + 6;
    const int words = 4 * (rounds_ + 1);
    std::memcpy(roundKeys_, key, keyBytes);
    uint8_t rcon = 1;
    for (int i = nk; i < words; ++i) {
        uint8_t t[4];
        std::memcpy(t, roundKeys_ + 4 * (i - 1), 4);
        if (i % nk == 0) {
            const uint8_t first = t[0];
            t[0] = t[1];
            t[1] = t[2];
            t[2] = t[3];
            t[3] = first;
            subWord(t);
            t[0] ^= rcon;
            rcon = uint8_t((rcon << 1) ^ ((rcon >> 7) * 0x1B));
        } else if (nk > 6 && i % nk == 4) {
            subWord(t);
        }
        for (int b = 0; b < 4; ++b)
            roundKeys_[4 * i + b] = uint8_t(roundKeys_[4 * (i - nk) + b] ^ t[b]);
    }
    return true;
}

void AesEncryptor::encryptBlock(const uint8_t in[16], uint8_t out[16]) const {
#if defined(VEXMAR_AES_NI)
    if (useNi_)
        return aesEncryptNi(roundKeys_, rounds_, in, out);
#endif
    aesEncryptPortable(roundKeys_, rounds_, in, out);
}

void AesEncryptor::ctrXorBlocks(uint64_t& counter, uint8_t* data, size_t blocks) const {
#if defined(VEXMAR_AES_NI)
    if (useNi_)
        return aesCtrXorNi(roundKeys_, rounds_, counter, data, blocks);
#endif
    aesCtrXorPortable(roundKeys_, rounds_, counter, data, blocks);
}

} // namespace vexmar
