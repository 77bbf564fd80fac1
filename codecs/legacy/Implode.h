// Decoder of ZIP method 6, implode: a sliding dictionary of 4 or 8 KB whose literals, match
// lengths and distances are coded with Shannon-Fano trees stored at the start of the data.
#pragma once

#include "codecs/legacy/ShannonFanoTree.h"

#include <cstdint>

namespace vexmar {

class DataBuffer;
class LogBase;

class Implode {
public:
    virtual ~Implode() = default;

    // The whole compressed entry; it must outlive decode().
    void setInput(const uint8_t* data, uint32_t length) {
        input_ = data;
        inputLength_ = length;
    }

    // `eightKDictionary` is bit 1 of the entry's general-purpose flags, `literalTree` bit 2.
    // Appends at most `expectedSize` bytes to `out`: decoding stops there, or where the data
    // ends (a shorter output, logged, still returns true). False on a malformed tree or code
    // (logged) or when memory runs out.
    bool decode(bool eightKDictionary, bool literalTree, uint64_t expectedSize, LogBase& log,
                DataBuffer& out);

private:
    const uint8_t* input_ = nullptr;
    uint32_t inputLength_ = 0;
    ShannonFanoTree literals_;
    ShannonFanoTree lengths_;
    ShannonFanoTree distances_;
};

} // namespace vexmar
