// SHA-1's padding and buffering around the block functions, and the choice between them.
#include "codecs/crypto/Sha1.h"

#include "codecs/crypto/Sha1Kernels.h"

#include <cstring>

namespace vexmar {

namespace {

using BlockFunction = void (*)(uint32_t*, const uint8_t*, size_t);

BlockFunction fastestBlocks() {
#if defined(VEXMAR_SHA_NI)
    if (cpuHasShaNi())
        return sha1BlocksNi;
#endif
    return sha1BlocksPortable;
}

} // namespace

void sha1Blocks(uint32_t state[5], const uint8_t* data, size_t blocks) {
    static const BlockFunction blocksFn = fastestBlocks();
    blocksFn(state, data, blocks);
}

void Sha1::reset() {
    state_[0] = 0x67452301;
    state_[1] = 0xEFCDAB89;
    state_[2] = 0x98BADCFE;
    state_[3] = 0x10325476;
    state_[4] = 0xC3D2E1F0;
    length_ = 0;
    buffered_ = 0;
}

void Sha1::usePortableCode(bool on) {
    portable_ = on;
}

void Sha1::update(const void* data, size_t length) {
    const auto* p = static_cast<const uint8_t*>(data);
    const auto blocks = portable_ ? sha1BlocksPortable : sha1Blocks;
    length_ += length;
    if (buffered_ > 0) {
        const size_t take = length < kBlockSize - buffered_ ? length : kBlockSize - buffered_;
        std::memcpy(buffer_ + buffered_, p, take);
        buffered_ += uint32_t(take);
        p += take;
        length -= take;
        if (buffered_ < kBlockSize)
            return;
        blocks(state_, buffer_, 1);
        buffered_ = 0;
    }
    if (length >= kBlockSize) {
        const size_t whole = length / kBlockSize;
        blocks(state_, p, whole);
        p += whole * kBlockSize;
        length -= whole * kBlockSize;
    }
    if (length > 0) {
        std::memcpy(buffer_, p, length);
        buffered_ = uint32_t(length);
    }
}

void Sha1::finish(uint8_t digest[kDigestSize]) {
    const uint64_t bits = length_ * 8;
    uint8_t tail[2 * kBlockSize] = {0x80};
    const size_t padding = (buffered_ < 56 ? 56 : 120) - buffered_;
    for (int i = 0; i < 8; ++i)
        tail[padding + i] = uint8_t(bits >> (56 - 8 * i));
    update(tail, padding + 8);
    for (int i = 0; i < 5; ++i)
        for (int b = 0; b < 4; ++b)
            digest[4 * i + b] = uint8_t(state_[i] >> (24 - 8 * b));
}

} // namespace vexmar
