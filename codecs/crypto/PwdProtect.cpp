#include "codecs/crypto/PwdProtect.h"

#include "zip/base/checksum/CrcTables.h"

namespace vexmar {

namespace {

constexpr uint32_t kKeyStart[3] = {0x12345678, 0x23456789, 0x34567890};
constexpr uint32_t kMultiplier = 134775813; // 0x08088405

} // namespace

PwdProtect::PwdProtect() {
    password_.setWipe(true);
    initKeys();
}

PwdProtect::~PwdProtect() {
    volatile uint32_t* keys = keys_;
    for (int i = 0; i < 3; ++i)
        keys[i] = 0;
    password_.clear();
}

void PwdProtect::setPassword(const uint8_t* password, size_t length) {
    password_.clear();
    password_.setString(reinterpret_cast<const char*>(password), uint32_t(length));
}

void PwdProtect::initKeys() {
    for (int i = 0; i < 3; ++i)
        keys_[i] = kKeyStart[i];
    const auto* p = reinterpret_cast<const uint8_t*>(password_.getString());
    for (uint32_t i = 0; i < password_.getSize(); ++i)
        updateKeys(p[i]);
}

inline uint8_t PwdProtect::keyStreamByte() const {
    const uint32_t t = (keys_[2] | 2) & 0xFFFF;
    return uint8_t((t * (t ^ 1)) >> 8);
}

inline void PwdProtect::updateKeys(uint8_t plain) {
    const vexmar::CrcTables& tables = vexmar::crcTables();
    keys_[0] = vexmar::crcByteStep(tables, keys_[0], plain);
    keys_[1] = (keys_[1] + (keys_[0] & 0xFF)) * kMultiplier + 1;
    keys_[2] = vexmar::crcByteStep(tables, keys_[2], uint8_t(keys_[1] >> 24));
}

bool PwdProtect::checkHeader(const uint8_t header[kHeaderSize], uint8_t checkByte, uint8_t* plain) {
    uint8_t last = 0;
    for (uint32_t i = 0; i < kHeaderSize; ++i) {
        last = uint8_t(header[i] ^ keyStreamByte());
        updateKeys(last);
        if (plain)
            plain[i] = last;
    }
    return last == checkByte;
}

bool PwdProtect::transform(uint8_t* bytes, uint32_t n, LogBase&) {
    for (uint32_t i = 0; i < n; ++i) {
        const uint8_t plain = uint8_t(bytes[i] ^ keyStreamByte());
        updateKeys(plain);
        bytes[i] = plain;
    }
    return true;
}

bool PwdProtect::transformWritten(uint8_t* bytes, uint32_t n, LogBase&) {
    for (uint32_t i = 0; i < n; ++i) {
        const uint8_t plain = bytes[i];
        bytes[i] = uint8_t(plain ^ keyStreamByte());
        updateKeys(plain);
    }
    return true;
}

} // namespace vexmar
