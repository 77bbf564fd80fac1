// PBKDF2 with HMAC-SHA1 as its pseudo-random function.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexmar {

// Fills out[0, outLength) from the password, the salt and the iteration count (at least 1).
void pbkdf2HmacSha1(const uint8_t* password, size_t passwordLength, const uint8_t* salt,
                    size_t saltLength, uint32_t iterations, uint8_t* out, size_t outLength);

} // namespace vexmar
