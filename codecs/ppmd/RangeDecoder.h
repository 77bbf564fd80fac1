// The carry-less range decoder (Subbotin) of PPMd variant I: 32-bit low, range and code, bytes
// shifted in most significant first whenever the top byte of the interval is settled, or the
// range has become too small to carry on.
#pragma once

#include "codecs/ppmd/BufferedSource.h"

#include <cstdint>

namespace vexmar {

namespace ppmd {

class RangeDecoder {
public:
    // Starts on the first four bytes of the source.
    void start(BufferedSource& source) {
        source_ = &source;
        low = 0;
        range = 0xFFFFFFFF;
        code = 0;
        for (int i = 0; i < 4; ++i)
            shiftIn();
    }

    // A scale larger than the range would leave nothing to divide; the encoder then codes on
    // the range itself.
    uint32_t fit(uint32_t total) const { return total > range ? range : total; }
    // Where the code lies on a scale of `total` (fitted): at or beyond `total` the data is
    // corrupt.
    uint32_t threshold(uint32_t total) {
        range /= total;
        return code / range;
    }
    // Decodes one binary decision whose first branch has probability prob / 2^14; true for
    // that branch.
    bool decodeBit(uint32_t prob) {
        const uint32_t bound = (range >> 14) * prob;
        if (code < bound) {
            range = bound;
            normalize();
            return true;
        }
        low += bound;
        code -= bound;
        range = (range & ~((1u << 14) - 1)) - bound;
        normalize();
        return false;
    }
    // Takes the interval [start, start + size) of the scale last given.
    void decode(uint32_t start, uint32_t size) {
        start *= range;
        low += start;
        code -= start;
        range *= size;
        normalize();
    }

    uint32_t low = 0;
    uint32_t range = 0;
    uint32_t code = 0;

private:
    static constexpr uint32_t kTop = 1u << 24;
    static constexpr uint32_t kBottom = 1u << 15;

    void normalize() {
        for (;;) {
            if ((low ^ (low + range)) >= kTop) {
                if (range >= kBottom)
                    return;
                range = (0 - low) & (kBottom - 1);
            }
            shiftIn();
            range <<= 8;
            low <<= 8;
        }
    }

    // Past the end of the data the source gives -1, which shifts in as 0xFF; the caller stops
    // at the symbol that asked for it.
    void shiftIn() { code = (code << 8) | static_cast<uint8_t>(source_->nextByte()); }

    BufferedSource* source_ = nullptr;
};

} // namespace ppmd

} // namespace vexmar
