#include "codecs/crypto/WinZipAes.h"

#include "codecs/crypto/Pbkdf2.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/StringBuffer.h"
#include "zip/base/stream/DataSource.h"

#include <cstring>

namespace vexmar {

namespace {

void wipe(void* p, size_t n) {
    volatile uint8_t* bytes = static_cast<volatile uint8_t*>(p);
    for (size_t i = 0; i < n; ++i)
        bytes[i] = 0;
}

// Equal or not, without stopping at the first difference.
bool sameBytes(const uint8_t* a, const uint8_t* b, size_t n) {
    uint8_t difference = 0;
    for (size_t i = 0; i < n; ++i)
        difference |= uint8_t(a[i] ^ b[i]);
    return difference == 0;
}

} // namespace

WinZipAes::~WinZipAes() {
    wipe(keyStream_, sizeof keyStream_);
}

uint32_t WinZipAes::saltSize(int mode) {
    return mode >= 1 && mode <= 3 ? uint32_t(4 + 4 * mode) : 0;
}

bool WinZipAes::fcrypt_init(int mode, const uint8_t* password, size_t passwordLength,
                            const uint8_t* salt, uint8_t verifierOut[kVerifierSize], LogBase& log) {
    LogContextExitor ctx(log, "fcrypt_init");
    if (passwordLength > kMaxPasswordLength) {
        if (log.isVerbose())
            log.logError("Password too long");
        return false;
    }
    if (saltSize(mode) == 0) {
        log.logError("Bad mode");
        return false;
    }
    const uint32_t keyLength = uint32_t(8 + 8 * mode);
    uint8_t kbuf[2 * 32 + kVerifierSize];
    const uint32_t derived = 2 * keyLength + kVerifierSize;
    ZipAes_derive_key(password, passwordLength, salt, saltSize(mode), kKeyIterations, kbuf, derived,
                      log);
    if (log.isVerbose()) {
        log.logDataInt("key_length", int(keyLength));
        // The derived keys and verifier stay out of the log: the keys would open the
        // entry, and the verifier lets passwords be tried without the file.
        log.logDataInt("kbuf_len", int(derived));
    }
    aes_.setKey(kbuf, keyLength);
    hmac_.setKey(kbuf + keyLength, keyLength);
    std::memcpy(verifierOut, kbuf + 2 * keyLength, kVerifierSize);
    wipe(kbuf, sizeof kbuf);
    counter_ = 0;
    keyStreamPos_ = 16;
    mode_ = mode;
    passwordLength_ = uint32_t(passwordLength);
    return true;
}

void WinZipAes::xorKeyStream(uint8_t* bytes, uint32_t n) {
    uint32_t i = 0;
    while (i < n && keyStreamPos_ < 16)
        bytes[i++] ^= keyStream_[keyStreamPos_++];
    const uint32_t blocks = (n - i) / 16;
    aes_.ctrXorBlocks(counter_, bytes + i, blocks);
    i += 16 * blocks;
    if (i == n)
        return;
    // A part block: keep the rest of its key stream for the next call.
    std::memset(keyStream_, 0, sizeof keyStream_);
    aes_.ctrXorBlocks(counter_, keyStream_, 1);
    keyStreamPos_ = 0;
    while (i < n)
        bytes[i++] ^= keyStream_[keyStreamPos_++];
}

bool WinZipAes::transform(uint8_t* bytes, uint32_t n, LogBase&) {
    hmac_.update(bytes, n);
    xorKeyStream(bytes, n);
    return true;
}

bool WinZipAes::transformWritten(uint8_t* bytes, uint32_t n, LogBase&) {
    xorKeyStream(bytes, n);
    hmac_.update(bytes, n);
    return true;
}

void WinZipAes::finishMac(uint8_t mac[vexmar::HmacSha1::kDigestSize]) {
    hmac_.finish(mac);
}

bool WinZipAes::checkAuthCode(const uint8_t code[kAuthCodeSize]) {
    uint8_t mac[vexmar::HmacSha1::kDigestSize];
    finishMac(mac);
    return sameBytes(mac, code, kAuthCodeSize);
}

void ZipAes_derive_key(const uint8_t* password, size_t passwordLength, const uint8_t* salt,
                       size_t saltLength, uint32_t iterations, uint8_t* out, size_t outLength,
                       LogBase& log) {
    LogContextExitor ctx(log, "ZipAes_derive_key");
    if (log.isVerbose()) {
        log.logDataBytes("salt", salt, uint32_t(saltLength));
        log.logDataInt("salt_len", int(saltLength));
        log.logDataInt("key_len", int(outLength));
    }
    vexmar::pbkdf2HmacSha1(password, passwordLength, salt, saltLength, iterations, out, outLength);
}

bool wzDecryptInit(WinZipAes& aes, DataSource& source, const StringBuffer& password, int keyBits,
                   ProgressMonitor* monitor, LogBase& log, bool& badPassword) {
    LogContextExitor ctx(log, "wzDecryptInit");
    badPassword = false;
    const int mode = keyBits == 256 ? 3 : keyBits == 192 ? 2 : 1;
    const uint32_t saltSize = WinZipAes::saltSize(mode);
    if (log.isVerbose()) {
        log.logDataInt("mode", mode);
        log.logDataInt("saltSize", int(saltSize));
    }
    uint8_t salt[16];
    if (source.readExactly(salt, saltSize, monitor, log) != saltSize) {
        log.logError("Failed to read salt value for AES decryption");
        return false;
    }
    uint8_t verifier[WinZipAes::kVerifierSize];
    if (!aes.fcrypt_init(mode, reinterpret_cast<const uint8_t*>(password.getString()),
                         password.getSize(), salt, verifier, log)) {
        log.logError("WinZip AES decrypt initialization failed");
        return false;
    }
    uint8_t stored[WinZipAes::kVerifierSize];
    if (source.readExactly(stored, sizeof stored, monitor, log) != sizeof stored) {
        log.logError("Failed to read pwd verification for AES decryption");
        return false;
    }
    if (log.isVerbose())
        log.logDataBytes("aesVerificationBytes", stored, sizeof stored);
    if (!sameBytes(stored, verifier, sizeof stored)) {
        log.logError("Invalid password for WinZip AES decryption;");
        badPassword = true;
        return false;
    }
    return true;
}

} // namespace vexmar
