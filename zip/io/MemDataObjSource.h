// A source over a window of an archive's memory image: the stored data of one
// entry, for example. Positions are relative to the window's start.
#pragma once

#include "zip/base/stream/DataSource.h"

#include <cstdint>

namespace vexmar {

class MemoryData;

class MemDataObjSource : public DataSource {
public:
    MemDataObjSource() = default;
    // The image is not owned; it must outlive the source.
    void setup(const MemoryData* image, uint64_t start, uint64_t length);

    bool readRaw(uint8_t* buffer, uint32_t max, uint32_t& count, bool& atEnd,
                 ProgressMonitor* monitor, LogBase& log) override;
    bool canLend() const override { return image_ != nullptr; }
    bool lendRaw(const uint8_t*& data, uint32_t max, uint32_t& count, bool& atEnd,
                 LogBase& log) override;
    bool atEnd() override { return remaining_ == 0; }
    bool seekAbsolute(int64_t position) override;
    bool seekRelative(int64_t offset) override;
    int64_t position() override { return static_cast<int64_t>(current_ - start_); }
    void rewind() override;

private:
    const MemoryData* image_ = nullptr;
    uint64_t start_ = 0;
    uint64_t length_ = 0;
    uint64_t remaining_ = 0;
    uint64_t current_ = 0;
};

} // namespace vexmar
