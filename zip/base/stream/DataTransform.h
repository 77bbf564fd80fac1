// A transformation applied in place to every chunk that passes through a source
// (decryption on the way in) or an output (encryption on the way out). Its length
// never changes.
#pragma once

#include <cstdint>

namespace vexmar {

class LogBase;

class DataTransform {
public:
    DataTransform() = default;
    virtual ~DataTransform();
    DataTransform(const DataTransform&) = delete;
    DataTransform& operator=(const DataTransform&) = delete;

    // Bytes read. False (after logging why) when they cannot be transformed.
    virtual bool transform(uint8_t* bytes, uint32_t n, LogBase& log) = 0;
    // Bytes written; the same as for bytes read unless a transform runs the other way
    // round on its way out.
    virtual bool transformWritten(uint8_t* bytes, uint32_t n, LogBase& log);
};

} // namespace vexmar
