// Where an LZMA decoder writes: a circular buffer that is at the same time the history matches
// copy from. A streaming decoder owns one as large as the dictionary (no larger than the whole
// output) and hands it to its output piece by piece; a decoder into memory uses the
// destination itself, which then never wraps.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexmar::lzma {

struct Window {
    uint8_t* bytes = nullptr;
    size_t size = 0;
    // How far back matches may reach: the dictionary size, never above `size`.
    uint32_t dictionary = 0;
    // The next byte goes to bytes[pos]; the decoder stops at `size` at the latest, and the
    // owner wraps `pos` to 0 once it has handed the bytes over.
    size_t pos = 0;
    // Bytes decoded since the stream began.
    uint64_t total = 0;

    // A distance (0 for the byte just written) that reaches a byte decoded before and within
    // the dictionary.
    bool reaches(uint32_t distance, uint64_t decoded) const {
        return distance < dictionary && distance < decoded;
    }
    // Index of the byte `distance` + 1 back from `at`; the distance must be one that reaches.
    size_t back(size_t at, uint32_t distance) const {
        const size_t n = size_t(distance) + 1;
        return at >= n ? at - n : at + size - n;
    }
};

} // namespace vexmar::lzma
