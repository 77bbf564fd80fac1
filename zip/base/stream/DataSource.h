// The byte source base. Decoders pull chunks from a source with read(), which
// keeps the running total and CRC-32, applies the source's transform (if any)
// and reports progress to the monitor.
#pragma once

#include "zip/base/checksum/ZipCRC.h"
#include "zip/base/stream/DataTransform.h"

#include <cstdint>
#include <memory>
#include <utility>

namespace vexmar {

class LogBase;
class Output;
class ProgressMonitor;

class DataSource {
public:
    // Stored data is copied to outputs in chunks of this size.
    static constexpr uint32_t kCopyChunk = 20000;

    DataSource() = default;
    virtual ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    virtual void close();
    // Up to `max` bytes, without any bookkeeping. `atEnd` is set when the source
    // has nothing more after these bytes.
    [[nodiscard]] virtual bool readRaw(uint8_t* buffer, uint32_t max, uint32_t& count, bool& atEnd,
                                       ProgressMonitor* monitor, LogBase& log);
    virtual bool atEnd();
    [[nodiscard]] virtual bool seekAbsolute(int64_t position);
    [[nodiscard]] virtual bool seekRelative(int64_t offset);
    virtual int64_t position();
    virtual void rewind();
    // Moves past the next occurrence of the little-endian 32-bit value.
    virtual bool scanForUint32(uint32_t value);
    // Reads and discards n bytes, or up to the end of the source.
    [[nodiscard]] virtual bool skipBytes(uint64_t n, ProgressMonitor* monitor, LogBase& log);

    // Whether lendRaw() can hand out bytes the source already holds in memory.
    virtual bool canLend() const { return false; }
    // Like readRaw, but points `data` at up to `max` of the source's own bytes instead of
    // copying them; they stay valid as long as the source does.
    [[nodiscard]] virtual bool lendRaw(const uint8_t*& data, uint32_t max, uint32_t& count,
                                       bool& atEnd, LogBase& log);

    // readRaw with the bookkeeping. False on a failed read or an abort.
    [[nodiscard]] bool read(uint8_t* buffer, uint32_t max, uint32_t& count, bool& atEnd,
                            ProgressMonitor* monitor, LogBase& log);
    // lendRaw with the bookkeeping, for sources that canLend() and have no transform.
    [[nodiscard]] bool readInPlace(const uint8_t*& data, uint32_t max, uint32_t& count, bool& atEnd,
                                   ProgressMonitor* monitor, LogBase& log);
    // Reads until n bytes are there or the source ends; the count read (0 on abort).
    uint32_t readExactly(uint8_t* buffer, uint32_t n, ProgressMonitor* monitor, LogBase& log);
    // Copies everything up to the end of the source to the output.
    bool copyToOutput(Output& output, uint64_t& total, ProgressMonitor* monitor, LogBase& log);

    // Takes ownership; null removes the transform.
    void setTransform(std::unique_ptr<DataTransform> transform) {
        transform_ = std::move(transform);
    }
    DataTransform* transform() const { return transform_.get(); }
    void setComputeCrc(bool on) { computeCrc_ = on ? 1 : 0; }
    // CRC-32 of the bytes read (before the transform) while computing was on.
    uint32_t crc() const { return crc_.crc(); }
    // When set, every read advances the monitor by its byte count; otherwise a
    // read only gives the monitor a heartbeat.
    void setProgressByBytes(bool on) { progressByBytes_ = on ? 1 : 0; }
    uint64_t totalRead() const { return totalRead_; }

private:
    // What read() and copyToOutput() do with each chunk.
    bool account(uint8_t* chunk, uint32_t n, LogBase& log);
    bool reportProgress(uint32_t n, ProgressMonitor& monitor, LogBase& log);

    vexmar::ZipCRC crc_;
    std::unique_ptr<DataTransform> transform_;
    uint64_t totalRead_ = 0;
    uint8_t computeCrc_ = 0;
    uint8_t progressByBytes_ = 0;
};

} // namespace vexmar
