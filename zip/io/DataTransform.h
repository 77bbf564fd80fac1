// A transformation applied in place to every chunk that passes through a source
// or an output (decryption on the way in, for example). Its length never changes.
#pragma once

#include <cstdint>

class LogBase;

class DataTransform {
public:
    DataTransform() = default;
    virtual ~DataTransform();
    DataTransform(const DataTransform&) = delete;
    DataTransform& operator=(const DataTransform&) = delete;

    // False (after logging why) when the bytes cannot be transformed.
    virtual bool transform(uint8_t* bytes, uint32_t n, LogBase& log) = 0;
};
