// Unpacking a whole LZMA block held in memory (the .lzma form: properties,
// dictionary size and length, then the stream). The build packs data built into
// the program this way (the code page tables).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexmar {

// Fills `out` with exactly `outSize` bytes; false when the block is damaged, ends
// early, or holds more than `outSize` bytes.
bool lzmaUnpack(const uint8_t* packed, size_t packedSize, uint8_t* out, size_t outSize);

} // namespace vexmar
