// The archive image the reader works on: bytes held in memory, or a read-only view of the
// archive file mapped into memory.
#pragma once

#include "os/FileMapping.h"
#include "zip/base/VexmarObject.h"

#include <cstdint>

namespace vexmar {

class LogBase;

class MemoryData : public VexmarObject {
public:
    MemoryData() = default;
    ~MemoryData() override;
    MemoryData(const MemoryData&) = delete;
    MemoryData& operator=(const MemoryData&) = delete;

    // Takes a block from std::malloc as the image; it is freed on release.
    void adopt(uint8_t* data, uint32_t size);
    // Takes a view of a file mapping as the image; the view is unmapped and the mapping
    // closed on release.
    void adoptMapping(const uint8_t* view, uint32_t size, os::MappingHandle mapping);
    void release();

    // `count` bytes at `offset`, or null after logging why they are not there.
    const uint8_t* getBytes(uint64_t offset, uint32_t count, LogBase& log) const;

    uint32_t size() const { return size_; }
    bool isEmpty() const { return data_ == nullptr; }

private:
    const uint8_t* data_ = nullptr;
    uint32_t size_ = 0;
    bool owned_ = false;
    os::MappingHandle mapping_ = os::kNoMapping;
};

} // namespace vexmar
