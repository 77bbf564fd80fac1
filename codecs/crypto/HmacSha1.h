// HMAC with SHA-1. The key's inner and outer pads are hashed once, when the key is set;
// every message after that starts from copies of those two states.
#pragma once

#include "codecs/crypto/Sha1.h"

#include <cstddef>
#include <cstdint>

namespace vexmar {

class HmacSha1 {
public:
    static constexpr size_t kDigestSize = Sha1::kDigestSize;

    HmacSha1() = default;
    ~HmacSha1();
    HmacSha1(const HmacSha1&) = default;
    HmacSha1& operator=(const HmacSha1&) = default;

    // Any key length; starts a message.
    void setKey(const uint8_t* key, size_t length);
    // Starts a new message with the same key.
    void restart() { message_ = inner_; }
    void update(const void* data, size_t length) { message_.update(data, length); }
    // The code of the message fed since the last setKey() or restart().
    void finish(uint8_t mac[kDigestSize]);

private:
    Sha1 inner_; // the key's inner pad hashed
    Sha1 outer_; // the key's outer pad hashed
    Sha1 message_;
};

} // namespace vexmar
