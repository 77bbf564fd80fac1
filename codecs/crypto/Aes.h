// AES encryption (128, 192 and 256-bit keys): the key schedule and the counter-mode key
// stream WinZip uses. Only the forward cipher exists; counter mode never decrypts blocks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexmar {

class AesEncryptor {
public:
    static constexpr size_t kBlockSize = 16;

    AesEncryptor();
    ~AesEncryptor();
    AesEncryptor(const AesEncryptor&) = delete;
    AesEncryptor& operator=(const AesEncryptor&) = delete;

    // Key lengths of 16, 24 or 32 bytes; false for any other.
    bool setKey(const uint8_t* key, size_t keyBytes);
    // Leaves the AES instructions unused even where the processor has them (for tests that
    // compare both paths).
    void usePortableCode(bool on);
    bool usesAesInstructions() const { return useNi_; }

    void encryptBlock(const uint8_t in[16], uint8_t out[16]) const;
    // XORs `blocks` whole blocks of `data` with the key stream. Block i's key stream is the
    // encryption of the 16-byte block holding counter + 1 + i little-endian in its first
    // eight bytes and zeros after them; `counter` is left at the last value used.
    void ctrXorBlocks(uint64_t& counter, uint8_t* data, size_t blocks) const;

    int rounds() const { return rounds_; }
    // rounds() + 1 round keys of 16 bytes each, in the cipher's byte order.
    const uint8_t* roundKeys() const { return roundKeys_; }

private:
    alignas(16) uint8_t roundKeys_[15 * 16];
    int rounds_ = 0;
    bool useNi_ = false;
};

} // namespace vexmar
