// The byte sink base. Decoders push their output through write(), which keeps
// the running total and the optional Adler-32, applies the output's transform
// (if any) and reports progress to the monitor; subclasses only store bytes.
#pragma once

#include "zip/base/StringBuffer.h"
#include "zip/base/stream/DataTransform.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace vexmar {

class DataBuffer;
class LogBase;
class ProgressMonitor;

class Output {
public:
    enum Kind : int32_t { kMemory = 1, kFile = 2 };
    // Transformed data is handled in pieces of this size.
    static constexpr uint32_t kTransformPiece = 2048;

    virtual ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // Stores the bytes as they are.
    virtual bool writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor* monitor,
                          LogBase& log);
    virtual bool seekToEnd(LogBase& log);
    virtual bool seekAbsolute(uint64_t position, LogBase& log);
    virtual uint64_t position();
    // Forgets everything written so far.
    virtual bool reset(LogBase& log);

    // False on a failed write or an abort; both set the error flag. Zero bytes
    // or null data succeed at once.
    [[nodiscard]] bool write(const void* data, uint64_t length, ProgressMonitor* monitor,
                             LogBase& log);
    [[nodiscard]] bool write(const StringBuffer& text, ProgressMonitor* monitor, LogBase& log);
    [[nodiscard]] bool write(const DataBuffer& bytes, ProgressMonitor* monitor, LogBase& log);
    // Little-endian values, through the transform like any other bytes.
    [[nodiscard]] bool writeLe16(uint16_t value, ProgressMonitor* monitor, LogBase& log);
    [[nodiscard]] bool writeLe32(uint32_t value, ProgressMonitor* monitor, LogBase& log);
    [[nodiscard]] bool writeLe64(uint64_t value, ProgressMonitor* monitor, LogBase& log);

    // Room for the next `length` bytes in the output's own memory, so that a decoder can build
    // its data in place instead of in a buffer of its own. Null when the output has no such room
    // or transforms what it is given. The room stays valid while nothing else is written to the
    // output; bytes placed there count only once handed over with writePlaced(), in order, each
    // piece starting where the previous one ended. Anything in the room past what was handed
    // over may have been written as scratch, so the room must hold nothing worth keeping.
    uint8_t* placeArea(uint64_t length);
    // Like write() for bytes already placed at `data` inside the room placeArea() gave.
    [[nodiscard]] bool writePlaced(const uint8_t* data, uint64_t length,
                                   ProgressMonitor* monitor, LogBase& log);

    // The bracket of one decoding run, for the optional statistics.
    void runBegin();
    void runEnd();
    // Optional statistics the output keeps up to date while it is written: a
    // byte counter, the rate in bytes per second and, with an expected size,
    // the percent reached. Any pointer may be null; the values must outlive
    // the output's use.
    void watchStatistics(uint64_t* byteCounter, uint64_t* bytesPerSecond, int32_t* percent,
                         int64_t expectedSize);

    // Takes ownership; null removes the transform.
    void setTransform(std::unique_ptr<DataTransform> transform) {
        transform_ = std::move(transform);
    }
    int32_t kind() const { return kind_; }
    // Set by any failed write; it stays set.
    bool hasError() const { return error_ != 0; }
    uint64_t totalWritten() const { return total_; }
    // Adler-32 of the bytes written (after the transform) while computing was on.
    void setComputeAdler(bool on) { computeAdler_ = on ? 1 : 0; }
    uint32_t adler32() const { return adler_; }
    // When set, every write advances the monitor by its byte count; otherwise a
    // write only gives the monitor a heartbeat.
    void setProgressByBytes(bool on) { progressByBytes_ = on ? 1 : 0; }

protected:
    explicit Output(Kind kind) : kind_(kind) {}

    // Outputs that keep their bytes in memory may offer room for placing them (see
    // placeArea()); storePlaced() then records bytes already there as stored.
    virtual uint8_t* rawPlaceArea(uint64_t length);
    virtual bool storePlaced(const uint8_t* data, uint64_t length, ProgressMonitor* monitor,
                             LogBase& log);

private:
    bool writeStep(const uint8_t* data, uint64_t length, bool placed, ProgressMonitor* monitor,
                   LogBase& log);
    bool writeTransformed(const uint8_t* data, uint64_t length, ProgressMonitor* monitor,
                          LogBase& log);
    void updateStatistics(uint64_t length);

    std::unique_ptr<DataTransform> transform_;
    int32_t kind_;
    uint8_t error_ = 0;
    uint64_t total_ = 0;
    uint8_t computeAdler_ = 0;
    uint32_t adler_ = 1;
    uint8_t progressByBytes_ = 0;
    uint64_t runStartMs_ = 0;
    uint64_t* byteCounter_ = nullptr;
    uint64_t* bytesPerSecond_ = nullptr;
    int32_t* percent_ = nullptr;
    int64_t expectedSize_ = 0;
};

} // namespace vexmar
