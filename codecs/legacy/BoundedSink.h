// Where the old methods' decoders put their output: a DataBuffer that never receives more than
// the entry's size. Those methods have no end marker; the size is where decoding stops, and the
// padding bits after the last code are never decoded.
#pragma once

#include <cstdint>

namespace vexmar {

class DataBuffer;
class LogBase;

class BoundedSink {
public:
    // Output is appended after what `out` already holds.
    BoundedSink(DataBuffer& out, uint64_t expectedSize);

    bool full() const { return written_ == limit_; }
    uint32_t written() const { return written_; }

    // Each returns false when memory runs out (logged). Bytes beyond the size are dropped.
    bool put(uint8_t byte, LogBase& log);
    bool put(const uint8_t* bytes, uint32_t count, LogBase& log);
    // Repeats `length` bytes from `distance` (at least 1) back; the copy overlaps itself when
    // the distance is below the length. Positions before the start of the output read as zeros.
    bool copyMatch(uint32_t distance, uint32_t length, LogBase& log);

    // Logs why the output is short when the input ended before the size was reached.
    void noteEnd(LogBase& log) const;

private:
    bool makeRoom(uint32_t count, LogBase& log);

    DataBuffer& out_;
    uint64_t expected_;
    uint32_t start_; // where this output begins in out_
    uint32_t limit_; // the expected size, or what a DataBuffer can still hold
    uint32_t written_ = 0;
};

} // namespace vexmar
