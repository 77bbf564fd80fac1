// A .bmp file as the system's bitmap loader takes it: the resource holds the
// file without its 14-byte file header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexmar {

struct BitmapFacts {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bitCount = 0;
};

// The bitmap resource data of a .bmp file; empty `problem` when it is sound.
// Refused: a file cut short, a header that is not a bitmap's, a size of 0 or
// beyond `maxSide` pixels, a colour depth other than 1, 4, 8, 16, 24 or 32 bits,
// a compression the loader cannot show (only uncompressed data, and bit fields
// at 16 or 32 bits, can), and pixels that do not all lie in the file.
std::vector<uint8_t> readBitmapFile(const std::vector<uint8_t>& file, uint32_t maxSide,
                                    BitmapFacts& facts, std::string& problem);

} // namespace vexmar
