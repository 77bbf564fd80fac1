// WinZip AES (AE-1 and AE-2): AES in counter mode with a little-endian counter, keys from
// PBKDF2-HMAC-SHA1, a 2-byte password verifier and an HMAC-SHA1 over the ciphertext whose
// first 10 bytes follow the entry's data.
#pragma once

#include "codecs/crypto/Aes.h"
#include "codecs/crypto/HmacSha1.h"
#include "zip/base/VexmarObject.h"
#include "zip/base/stream/DataTransform.h"

#include "zip/base/StringBuffer.h"

#include <cstddef>
#include <cstdint>

namespace vexmar {

class DataSource;
class LogBase;
class ProgressMonitor;

class WinZipAes : public DataTransform, public VexmarObject {
public:
    static constexpr uint32_t kVerifierSize = 2;
    static constexpr uint32_t kAuthCodeSize = 10;
    static constexpr uint32_t kMaxPasswordLength = 128;
    static constexpr uint32_t kKeyIterations = 1000;

    WinZipAes() = default;
    ~WinZipAes() override;

    // Salt bytes for mode 1, 2 or 3 (128, 192, 256-bit keys); 0 for any other mode.
    static uint32_t saltSize(int mode);

    // Derives the AES key, the HMAC key and the password verifier from the password and the
    // salt (saltSize(mode) bytes), and starts the key stream and the HMAC.
    bool fcrypt_init(int mode, const uint8_t* password, size_t passwordLength, const uint8_t* salt,
                     uint8_t verifierOut[kVerifierSize], LogBase& log);

    // Decrypts bytes read in place, after adding them to the HMAC.
    bool transform(uint8_t* bytes, uint32_t n, LogBase& log) override;
    // Encrypts bytes written in place, then adds them to the HMAC.
    bool transformWritten(uint8_t* bytes, uint32_t n, LogBase& log) override;

    // Ends the HMAC and compares its first 10 bytes with `code`.
    bool checkAuthCode(const uint8_t code[kAuthCodeSize]);
    // Ends the HMAC; the transform is finished afterwards.
    void finishMac(uint8_t mac[vexmar::HmacSha1::kDigestSize]);

    // Makes the cipher leave the AES instructions unused (for tests).
    void usePortableAes(bool on) { aes_.usePortableCode(on); }

private:
    void xorKeyStream(uint8_t* bytes, uint32_t n);

    vexmar::AesEncryptor aes_;
    uint64_t counter_ = 0; // the counter block's first eight bytes; the rest stay zero
    uint8_t keyStream_[16] = {};
    int32_t keyStreamPos_ = 16;
    vexmar::HmacSha1 hmac_;
    int mode_ = 0;
    uint32_t passwordLength_ = 0;
};

// PBKDF2-HMAC-SHA1 over the password and the salt.
void ZipAes_derive_key(const uint8_t* password, size_t passwordLength, const uint8_t* salt,
                       size_t saltLength, uint32_t iterations, uint8_t* out, size_t outLength,
                       LogBase& log);

// Reads the salt and the password verifier from the start of `source`, derives the keys
// into `aes` and checks the verifier. `badPassword` is set when the verifier differs.
bool wzDecryptInit(WinZipAes& aes, DataSource& source, const StringBuffer& password, int keyBits,
                   ProgressMonitor* monitor, LogBase& log, bool& badPassword);

} // namespace vexmar
