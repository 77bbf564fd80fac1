#include "zip/base/checksum/CrcKernels.h"
#include "zip/base/ByteOrder.h"
#include "zip/base/checksum/CrcTables.h"

namespace vexmar {

uint32_t crc32Bytewise(uint32_t running, const uint8_t* data, size_t length) {
    const CrcTables& t = crcTables();
    for (size_t i = 0; i < length; ++i)
        running = crcByteStep(t, running, data[i]);
    return running;
}

uint32_t crc32Slice16(uint32_t running, const uint8_t* data, size_t length) {
    const CrcTables& t = crcTables();
    const auto& s = t.slice;
    for (; length >= 16; data += 16, length -= 16) {
        // The byte at offset i is followed by 15 - i more bytes of this round.
        const uint32_t a = le32(data) ^ running;
        const uint32_t b = le32(data + 4);
        const uint32_t c = le32(data + 8);
        const uint32_t d = le32(data + 12);
        running = s[15][a & 0xFF] ^ s[14][(a >> 8) & 0xFF] ^ s[13][(a >> 16) & 0xFF] ^
                  s[12][a >> 24] ^ s[11][b & 0xFF] ^ s[10][(b >> 8) & 0xFF] ^
                  s[9][(b >> 16) & 0xFF] ^ s[8][b >> 24] ^ s[7][c & 0xFF] ^ s[6][(c >> 8) & 0xFF] ^
                  s[5][(c >> 16) & 0xFF] ^ s[4][c >> 24] ^ s[3][d & 0xFF] ^ s[2][(d >> 8) & 0xFF] ^
                  s[1][(d >> 16) & 0xFF] ^ s[0][d >> 24];
    }
    for (; length > 0; ++data, --length)
        running = crcByteStep(t, running, *data);
    return running;
}

} // namespace vexmar
