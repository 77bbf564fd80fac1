#include "zip/base/stream/DataTransform.h"

DataTransform::~DataTransform() = default;

bool DataTransform::transformWritten(uint8_t* bytes, uint32_t n, LogBase& log) {
    return transform(bytes, n, log);
}
