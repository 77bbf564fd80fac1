// The decoder's window: the history that back-references reach into, and at the same time the
// buffer decoded bytes are written to before they are handed to the output.
//
// Layout of a window of its own: the history of windowSize bytes, then the output area, then
// room for the overrun of word copies. When the area is full it is handed to the output, and its
// last windowSize bytes move down to become the history. References therefore never wrap
// around, and the output gets large pieces.
//
// When the output limit is known and the output offers room for all of it in its own memory,
// the window is that room instead: the stream is decoded where it ends up, the output's bytes
// are the history, and nothing is copied. The area then holds one byte more than the limit, so
// that output beyond the limit fills it and fails at the hand-over as it would otherwise; no
// copy may write past the area's end.
//
// References before the start of the stream read zeros. Valid streams make none; they are
// copied a byte at a time.
#pragma once

#include <cstdint>
#include <memory>

namespace vexmar {

class LogBase;
class Output;
class ProgressMonitor;

class InflateWindow {
public:
    // Where full areas go while one input chunk is decoded.
    struct Sink {
        Output* output;
        ProgressMonitor* monitor;
        LogBase* log;
    };

    static constexpr uint32_t kAreaSize = 256 * 1024;
    static constexpr uint32_t kMinAreaSize = 4096;
    // The largest limit decoded in the output's own room.
    static constexpr uint64_t kMaxPlacedSize = UINT32_MAX / 2;

    // Places the window in the output's room where it can, or allocates one. False when memory
    // runs out.
    bool allocate(uint32_t windowSize, Output& output);
    bool isAllocated() const { return data_ != nullptr; }
    // Whether the window is the output's own room.
    bool isPlaced() const { return placedIn_ != nullptr; }

    // The fast loop writes through these directly; it stays below areaEnd(), and word copies
    // may write up to roomEnd().
    uint8_t* cursor() const { return data_ + position_; }
    uint8_t* areaEnd() const { return data_ + areaEnd_; }
    uint8_t* roomEnd() const { return data_ + roomEnd_; }
    void setCursor(uint8_t* cursor) { position_ = static_cast<uint32_t>(cursor - data_); }
    // Below this the window holds no bytes of the stream; a reference that reaches below it
    // goes through copyReachingBack().
    uint8_t* floor() const { return data_ + floor_; }
    // Copies a match at the cursor, reading zeros before the floor; the area must have room
    // for all of it.
    void copyReachingBack(uint32_t distance, uint32_t length);

    // Each is false when the area filled up and handing it to the output failed.
    bool put(uint8_t byte, const Sink& sink) {
        data_[position_++] = byte;
        return position_ != areaEnd_ || wrap(sink);
    }
    bool copyMatch(uint32_t distance, uint32_t length, const Sink& sink);
    bool putBytes(const uint8_t* bytes, uint32_t count, const Sink& sink);

    // Hands the bytes not yet written to the output.
    bool flush(const Sink& sink);

    // More bytes than this make the flush that would pass it fail. Set before allocate().
    void setOutputLimit(uint64_t limit) { limit_ = limit; }

private:
    bool place(Output& output);
    bool wrap(const Sink& sink);

    std::unique_ptr<uint8_t[]> owned_;
    uint8_t* data_ = nullptr;
    Output* placedIn_ = nullptr; // the output whose room the window is
    uint32_t windowSize_ = 0;
    uint32_t areaEnd_ = 0;
    uint32_t roomEnd_ = 0;
    uint32_t floor_ = 0;     // first byte of the stream in the window
    uint32_t position_ = 0;  // next write
    uint32_t flushMark_ = 0; // first byte not yet handed to the output
    uint64_t flushed_ = 0;
    uint64_t limit_ = UINT64_MAX;
};

} // namespace vexmar
