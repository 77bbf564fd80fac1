// Decoder of ZIP method 1, shrink: LZW with codes of 9 to 13 bits whose size the encoder
// raises, and whose table it partly clears, with control codes.
#pragma once

#include <cstdint>

namespace vexmar {

class DataBuffer;
class LogBase;

class Unshrink {
public:
    virtual ~Unshrink() = default;

    // Decodes the whole compressed entry and appends the result to `out`, at most
    // `expectedSize` bytes: decoding stops there, or where the data ends (a shorter output,
    // logged, still returns true). False on a malformed code (logged) or when memory runs out.
    bool decode(const uint8_t* data, uint32_t length, uint64_t expectedSize, LogBase& log,
                DataBuffer& out);
};

} // namespace vexmar
