#include "zip/base/checksum/ZipCRC.h"

#include "zip/base/checksum/CrcKernels.h"
#include "zip/base/checksum/CrcTables.h"

namespace vexmar {

namespace {

bool looksLikeText(const uint8_t* data, size_t length) {
    size_t counts[256] = {};
    for (size_t i = 0; i < length; ++i)
        ++counts[data[i]];
    size_t printable = 0;
    for (int b = 7; b < 128; ++b)
        printable += counts[b];
    const size_t other = length - printable;
    return !(printable / 4 < other);
}

} // namespace

ZipCRC::ZipCRC() {
    crcTables();
    reset();
}

void ZipCRC::update(const void* data, size_t length) {
    if (data)
        m_running = crc32Update(m_running, static_cast<const uint8_t*>(data), length);
}

uint32_t crc32Buffer(const void* data, size_t length, bool* isText) {
    if (!data || length == 0)
        return 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    if (isText)
        *isText = looksLikeText(bytes, length);
    return ~crc32Update(0xFFFFFFFF, bytes, length);
}

} // namespace vexmar
