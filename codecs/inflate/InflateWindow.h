// The decoder's window: the history that back-references reach into, and at the same time the
// buffer decoded bytes are written to before they are handed to the output.
//
// Layout: the history of windowSize bytes, then the output area, then room for the overrun of
// word copies. When the area is full it is handed to the output, and its last windowSize bytes
// move down to become the history. References therefore never wrap around, and the output gets
// large pieces.
//
// References before the start of the stream read zeros. Valid streams make none, and most
// entries are small, so the history is only zeroed when the first such reference comes.
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

    // False when memory runs out.
    bool allocate(uint32_t windowSize);
    bool isAllocated() const { return data_ != nullptr; }

    // The fast loop writes through these directly; it stays below areaEnd().
    uint8_t* cursor() const { return data_.get() + position_; }
    uint8_t* areaEnd() const { return data_.get() + areaEnd_; }
    void setCursor(uint8_t* cursor) { position_ = static_cast<uint32_t>(cursor - data_.get()); }
    // Below this the window holds no bytes yet; a reference that reaches below it must call
    // zeroHistory() before it copies.
    uint8_t* floor() const { return data_.get() + floor_; }
    void zeroHistory();

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
    bool wrap(const Sink& sink);

    std::unique_ptr<uint8_t[]> data_;
    uint32_t windowSize_ = 0;
    uint32_t areaEnd_ = 0;
    uint32_t floor_ = 0;     // first byte written, or 0 once the history is all defined
    uint32_t position_ = 0;  // next write
    uint32_t flushMark_ = 0; // first byte not yet handed to the output
    uint64_t flushed_ = 0;
    uint64_t limit_ = UINT64_MAX;
};

} // namespace vexmar
