#include "codecs/crypto/HmacSha1.h"

#include <cstring>

namespace vexmar {

HmacSha1::~HmacSha1() {
    volatile uint8_t* p = reinterpret_cast<volatile uint8_t*>(this);
    for (size_t i = 0; i < sizeof *this; ++i)
        p[i] = 0;
}

void HmacSha1::setKey(const uint8_t* key, size_t length) {
    uint8_t block[Sha1::kBlockSize] = {};
    if (length > Sha1::kBlockSize) {
        Sha1 shortened;
        shortened.update(key, length);
        shortened.finish(block);
    } else if (length > 0) {
        std::memcpy(block, key, length);
    }
    for (uint8_t& b : block)
        b ^= 0x36;
    inner_.reset();
    inner_.update(block, sizeof block);
    for (uint8_t& b : block)
        b ^= 0x36 ^ 0x5C;
    outer_.reset();
    outer_.update(block, sizeof block);
    volatile uint8_t* wipe = block;
    for (size_t i = 0; i < sizeof block; ++i)
        wipe[i] = 0;
    message_ = inner_;
}

void HmacSha1::finish(uint8_t mac[kDigestSize]) {
    uint8_t innerDigest[kDigestSize];
    message_.finish(innerDigest);
    Sha1 outer = outer_;
    outer.update(innerDigest, sizeof innerDigest);
    outer.finish(mac);
    message_ = inner_;
}

} // namespace vexmar
