// Loads and stores of fixed-width integers at any address, in the byte order the formats
// store them: little-endian for ZIP and PE, big-endian where SHA-1 reads its message words.
#pragma once

#include <cstdint>

namespace vexmar {

inline uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

inline uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

inline uint64_t le64(const uint8_t* p) {
    return uint64_t(le32(p)) | uint64_t(le32(p + 4)) << 32;
}

inline uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

inline void putLe16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

inline void putLe32(uint8_t* p, uint32_t v) {
    putLe16(p, uint16_t(v));
    putLe16(p + 2, uint16_t(v >> 16));
}

} // namespace vexmar
