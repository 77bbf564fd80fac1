// Adler-32 (RFC 1950), the checksum of zlib streams.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexmar {

// The value before the first byte.
constexpr uint32_t kAdler32Start = 1;

// Feeds the bytes into the previous value and returns the new one.
uint32_t adler32Update(uint32_t previous, const void* data, size_t length);

// The same, one byte and one reduction at a time, as the definition reads: the reference
// adler32Update is checked against.
uint32_t adler32Bytewise(uint32_t previous, const uint8_t* data, size_t length);

} // namespace vexmar
