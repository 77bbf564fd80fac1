// The compressed bytes of a stream, read from a source in pieces and kept so that the decode
// loop can always read a whole symbol's worth without checks: until the source ends at least
// kMaxSymbolInput bytes are held, and after its end come that many zeros. A decoder that read
// into the zeros has run past the data.
#pragma once

#include "codecs/lzma/RangeDecoder.h"

#include <cstdint>
#include <memory>

namespace vexmar {

class DataSource;
class LogBase;
class ProgressMonitor;

namespace lzma {

class Input {
public:
    // Room for reads of up to `piece` bytes; false when the memory is not there.
    bool allocate(uint32_t piece);

    // Reads on while fewer than kMaxSymbolInput bytes are held and the source has more.
    // False when a read fails.
    bool fill(DataSource& source, ProgressMonitor* monitor, LogBase& log);

    // Where decoding goes on; the decoder moves it forward.
    const uint8_t*& next() { return next_; }
    // The last place a symbol may start at.
    const uint8_t* safeEnd() const { return ended_ ? end_ : end_ - kMaxSymbolInput; }
    size_t held() const { return overrun() ? 0 : static_cast<size_t>(end_ - next_); }
    // Whether decoding took bytes the data does not have.
    bool overrun() const { return next_ > end_; }

private:
    std::unique_ptr<uint8_t[]> buffer_;
    uint32_t piece_ = 0;
    const uint8_t* next_ = nullptr;
    const uint8_t* end_ = nullptr;
    bool ended_ = false;
};

} // namespace lzma
} // namespace vexmar
