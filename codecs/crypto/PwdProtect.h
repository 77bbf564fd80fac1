// Traditional PKWARE encryption: three 32-bit keys stirred by every plaintext byte. Entries
// start with a 12-byte encryption header whose last byte lets a password be checked.
#pragma once

#include "zip/base/StringBuffer.h"
#include "zip/base/VexmarObject.h"
#include "zip/base/stream/DataTransform.h"

#include <cstddef>
#include <cstdint>

namespace vexmar {

class PwdProtect : public DataTransform, public VexmarObject {
public:
    static constexpr uint32_t kHeaderSize = 12;

    PwdProtect();
    ~PwdProtect() override;

    // The bytes exactly as given.
    void setPassword(const uint8_t* password, size_t length);
    // Sets the keys to their start values, then runs every password byte through them.
    void initKeys();
    // Decrypts the header with the keys (which end up past it) and tells whether its last
    // byte is `checkByte`. `plain` receives the decrypted header when not null.
    bool checkHeader(const uint8_t header[kHeaderSize], uint8_t checkByte,
                     uint8_t* plain = nullptr);

    // Decrypts bytes read in place.
    bool transform(uint8_t* bytes, uint32_t n, LogBase& log) override;
    // Encrypts bytes written in place.
    bool transformWritten(uint8_t* bytes, uint32_t n, LogBase& log) override;

private:
    uint8_t keyStreamByte() const;
    void updateKeys(uint8_t plain);

    StringBuffer password_;
    uint32_t keys_[3];
};

} // namespace vexmar
