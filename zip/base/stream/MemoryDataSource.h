// A source over a block of bytes in memory, borrowed or owned.
#pragma once

#include "zip/base/stream/DataSource.h"

#include <cstdint>

namespace vexmar {

class MemoryDataSource : public DataSource {
public:
    MemoryDataSource() = default;
    MemoryDataSource(const void* data, uint64_t size) { borrow(data, size); }
    ~MemoryDataSource() override;

    // The caller keeps the block alive while the source uses it.
    void borrow(const void* data, uint64_t size);
    // Takes a block from std::malloc; it is freed with the source.
    void adopt(void* data, uint64_t size);

    void close() override;
    bool readRaw(uint8_t* buffer, uint32_t max, uint32_t& count, bool& atEnd,
                 ProgressMonitor* monitor, LogBase& log) override;
    bool canLend() const override { return data_ != nullptr; }
    bool lendRaw(const uint8_t*& data, uint32_t max, uint32_t& count, bool& atEnd,
                 LogBase& log) override;
    bool atEnd() override { return position_ >= size_; }
    bool seekAbsolute(int64_t position) override;
    bool seekRelative(int64_t offset) override;
    int64_t position() override { return static_cast<int64_t>(position_); }
    void rewind() override { position_ = 0; }
    bool scanForUint32(uint32_t value) override;

private:
    const uint8_t* data_ = nullptr;
    uint64_t size_ = 0;
    bool owned_ = false;
    uint64_t position_ = 0;
};

} // namespace vexmar
