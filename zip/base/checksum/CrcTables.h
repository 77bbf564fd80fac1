// The CRC-32 lookup tables of ZIP: built once per process, read-only afterwards.
#pragma once

#include <cstdint>

namespace vexmar {

// The generator x^32 + x^26 + x^23 + x^22 + x^16 + x^12 + x^11 + x^10 + x^8 + x^7 + x^5 + x^4
// + x^2 + x + 1 without its x^32 term, most significant coefficient first.
constexpr uint32_t kCrc32Polynomial = 0x04C11DB7;

constexpr uint32_t reverseBits32(uint32_t v) {
    uint32_t r = 0;
    for (int i = 0; i < 32; ++i, v >>= 1)
        r = (r << 1) | (v & 1);
    return r;
}

// slice[0] is the classic byte table: entry n is the CRC of the byte n. slice[k] holds the CRC
// of the byte n followed by k zero bytes, so that 16 bytes can be folded in one round.
struct CrcTables {
    uint32_t slice[16][256];
};

// The process-wide tables. The first caller builds them; callers that arrive while they are
// being built wait until they are complete.
const CrcTables& crcTables();

// Feeds one byte into a running (not yet complemented) CRC value.
inline uint32_t crcByteStep(const CrcTables& tables, uint32_t running, uint8_t byte) {
    return (running >> 8) ^ tables.slice[0][(running ^ byte) & 0xFF];
}

} // namespace vexmar
