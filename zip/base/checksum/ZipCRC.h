// CRC-32 as ZIP uses it: the running checksum of a byte stream, and the one-shot form.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexmar {

class ZipCRC {
public:
    // Makes sure the process-wide table exists, then starts like reset().
    ZipCRC();
    virtual ~ZipCRC() = default;

    void reset() { m_running = 0xFFFFFFFF; }
    void update(const void* data, size_t length);
    // The CRC-32 of the bytes seen since the last reset: 0 when there were none.
    uint32_t crc() const { return ~m_running; }

private:
    uint32_t m_running;
};

// The CRC-32 of a buffer; 0 for an empty one. With isText, it also says whether the bytes look
// like text: binary when a quarter of the bytes 7 to 127 is fewer than the bytes 0 to 6 and 128
// to 255 together. An empty buffer leaves *isText as it was.
uint32_t crc32Buffer(const void* data, size_t length, bool* isText = nullptr);

} // namespace vexmar
