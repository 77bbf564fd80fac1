#include "zip/central/MemoryData.h"

#include "zip/base/LogBase.h"

#include <cstdlib>

namespace vexmar {

MemoryData::~MemoryData() {
    release();
}

void MemoryData::adopt(uint8_t* data, uint32_t size) {
    release();
    data_ = data;
    size_ = size;
    owned_ = true;
}

void MemoryData::adoptMapping(const uint8_t* view, uint32_t size, os::MappingHandle mapping) {
    release();
    data_ = view;
    size_ = size;
    mapping_ = mapping;
}

void MemoryData::release() {
    if (owned_)
        std::free(const_cast<uint8_t*>(data_));
    if (mapping_ != os::kNoMapping) {
        os::unmapView(data_, size_);
        os::closeMapping(mapping_);
    }
    data_ = nullptr;
    size_ = 0;
    owned_ = false;
    mapping_ = os::kNoMapping;
}

const uint8_t* MemoryData::getBytes(uint64_t offset, uint32_t count, LogBase& log) const {
    if (offset >= size_) {
        log.logError("Address is beyond data length");
        log.logDataInt64("addr64", static_cast<int64_t>(offset));
        log.logDataInt64("dataLen", size_);
        return nullptr;
    }
    if (count > size_ - offset) {
        log.logError("Not enough bytes remaining to fulfill memory-data request.");
        return nullptr;
    }
    return data_ + offset;
}

} // namespace vexmar
