// Writes converted bytes straight into a DataBuffer's spare room, so that the
// conversion loops need no size update per character. The loop keeps the
// write pointer in a local variable; the cursor turns it back into a size.
#pragma once

#include "zip/base/DataBuffer.h"

#include <cstdint>

namespace vexmar {

class OutputCursor {
public:
    explicit OutputCursor(DataBuffer& out) : out_(out), start_(out.getSize()) {}

    // Room for n more bytes; p then points at the end of the output. False
    // when memory runs out.
    bool reserve(uint8_t*& p, uint64_t n) {
        commit(p);
        if (n > UINT32_MAX || !out_.ensureRoom(uint32_t(n)))
            return false;
        p = out_.getData() + out_.getSize();
        return true;
    }
    // Makes what was written up to p part of the output, so that the buffer
    // can be appended to directly; p is cleared until the next reserve().
    void commit(uint8_t*& p) {
        if (p)
            out_.setSize(uint32_t(p - out_.getData()));
        p = nullptr;
    }
    // Takes back everything written since the cursor was made.
    void rollback() { out_.shorten(out_.getSize() - start_); }
    DataBuffer& buffer() { return out_; }

private:
    DataBuffer& out_;
    uint32_t start_;
};

inline void putUnit(uint8_t*& p, uint32_t unit) {
    p[0] = uint8_t(unit);
    p[1] = uint8_t(unit >> 8);
    p += 2;
}

} // namespace vexmar
