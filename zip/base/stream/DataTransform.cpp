#include "zip/base/stream/DataTransform.h"

namespace vexmar {

DataTransform::~DataTransform() = default;

bool DataTransform::transformWritten(uint8_t* bytes, uint32_t n, LogBase& log) {
    return transform(bytes, n, log);
}

} // namespace vexmar
