// The five property bytes that start every LZMA1 stream: the literal and position context
// sizes, packed in one byte, then the dictionary size (32 bits, little-endian).
#pragma once

#include <cstdint>

namespace vexmar::lzma {

constexpr uint32_t kPropertiesSize = 5;
// Smaller dictionaries in a header are read as this size, as every decoder does.
constexpr uint32_t kMinDictionary = 4096;

struct Properties {
    unsigned lc = 0; // high bits of the previous byte that choose the literal model
    unsigned lp = 0; // low bits of the position that choose the literal model
    unsigned pb = 0; // low bits of the position that choose the match models
    uint32_t dictionarySize = 0;
};

// False for a context byte beyond 224 or with lc + lp above 4: no encoder makes them, and the
// literal models are sized for at most 4 bits of context.
bool parseProperties(const uint8_t* bytes, Properties& properties);

} // namespace vexmar::lzma
