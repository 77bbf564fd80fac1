// An output that writes into a DataBuffer, optionally moving to a file once the
// data grows past a threshold.
#pragma once

#include "zip/base/XString.h"
#include "zip/base/stream/Output.h"
#include "zip/io/OutputFile.h"

#include <cstdint>
#include <memory>

namespace vexmar {

class DataBuffer;

class OutputDataBuffer : public Output {
public:
    // The buffer is not owned; writing starts at its current end.
    explicit OutputDataBuffer(DataBuffer* target);
    ~OutputDataBuffer() override;

    // Past `threshold` bytes (0: never) the data moves to a file at `pathUtf8`.
    void setReroute(uint32_t threshold, const char* pathUtf8);
    bool isRerouted() const { return rerouted_ != 0; }

    bool writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor* monitor,
                  LogBase& log) override;
    bool seekToEnd(LogBase& log) override;
    bool seekAbsolute(uint64_t position, LogBase& log) override;
    uint64_t position() override;
    bool reset(LogBase& log) override;

protected:
    uint8_t* rawPlaceArea(uint64_t length) override;
    bool storePlaced(const uint8_t* data, uint64_t length, ProgressMonitor* monitor,
                     LogBase& log) override;

private:
    bool reroute(LogBase& log);
    bool storeAtIndex(const uint8_t* data, uint32_t length, LogBase& log);

    DataBuffer* target_;
    uint32_t index_;
    uint8_t failed_ = 0;
    uint32_t rerouteThreshold_ = 0;
    XString reroutePath_;
    uint8_t rerouted_ = 0;
    std::unique_ptr<OutputFile> rerouteFile_;
    uint8_t rerouteFailed_ = 0;
};

} // namespace vexmar
