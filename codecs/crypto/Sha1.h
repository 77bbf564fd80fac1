// SHA-1: the running hash of a byte stream.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexmar {

class Sha1 {
public:
    static constexpr size_t kDigestSize = 20;
    static constexpr size_t kBlockSize = 64;

    Sha1() { reset(); }
    void reset();
    void update(const void* data, size_t length);
    // Writes the digest of everything fed since the last reset; the object then needs a reset
    // before it is fed again.
    void finish(uint8_t digest[kDigestSize]);

    // Leaves the SHA instructions unused even where the processor has them (for tests).
    void usePortableCode(bool on);

private:
    uint32_t state_[5];
    uint64_t length_ = 0; // bytes fed
    uint8_t buffer_[kBlockSize];
    uint32_t buffered_ = 0;
    bool portable_ = false;
};

} // namespace vexmar
