// The LZMA1 decode loop: literals, matches, the four repeated distances and the end marker,
// into a window, from input the caller keeps topped up.
#pragma once

#include "codecs/lzma/LzmaModel.h"
#include "codecs/lzma/LzmaProperties.h"
#include "codecs/lzma/LzmaWindow.h"
#include "codecs/lzma/RangeDecoder.h"

#include <cstdint>

namespace vexmar::lzma {

enum class Status {
    kRunning,   // stopped at the output limit or the end of the safe input
    kEndMarker, // the stream's end marker came, and the range code ended cleanly
    kCorrupt,   // a distance beyond the history, or an end marker that does not end cleanly
};

class Decoder {
public:
    explicit Decoder(const Properties& properties);

    // The range code's five opening bytes at `in`; false when they cannot open a stream.
    bool start(const uint8_t*& in);

    // Decodes into `window` up to index `outLimit` (at most the window's size), starting
    // symbols while `in` is at or before `safeEnd`. A match cut short by the limit goes on at
    // the next call.
    Status run(Window& window, size_t outLimit, const uint8_t*& in, const uint8_t* safeEnd);

    // Bytes of a match still to be copied once the output has room again.
    uint32_t pendingMatch() const { return pending_; }
    bool finishedCleanly() const { return rc_.finishedCleanly(); }

    // Decodes the next symbol, which must be the end marker (kEndMarker) and nothing else.
    Status endMarker(const Window& window, const uint8_t*& in);

private:
    Model model_;
    RangeDecoder rc_;
    unsigned state_ = 0;
    uint32_t reps_[4] = {};
    uint32_t pending_ = 0;
    unsigned lc_;
    unsigned lpMask_;
    unsigned pbMask_;
};

} // namespace vexmar::lzma
