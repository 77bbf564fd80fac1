#include "codecs/lzma/LzmaInput.h"

#include "zip/base/stream/DataSource.h"

#include <cstring>
#include <new>

namespace vexmar::lzma {

bool Input::allocate(uint32_t piece) {
    piece_ = piece < kMaxSymbolInput ? kMaxSymbolInput : piece;
    buffer_.reset(new (std::nothrow) uint8_t[piece_ + kMaxSymbolInput]);
    next_ = end_ = buffer_.get();
    ended_ = false;
    return buffer_ != nullptr;
}

bool Input::fill(DataSource& source, ProgressMonitor* monitor, LogBase& log) {
    if (ended_ || held() >= kMaxSymbolInput)
        return true;
    uint8_t* const start = buffer_.get();
    uint32_t held = static_cast<uint32_t>(end_ - next_);
    std::memmove(start, next_, held);
    next_ = start;
    end_ = start + held;
    while (held < kMaxSymbolInput && !ended_) {
        uint32_t count = 0;
        bool atEnd = false;
        if (!source.read(start + held, piece_ - held, count, atEnd, monitor, log))
            return false;
        held += count;
        end_ = start + held;
        ended_ = atEnd || count == 0;
    }
    if (ended_)
        std::memset(start + held, 0, kMaxSymbolInput);
    return true;
}

} // namespace vexmar::lzma
