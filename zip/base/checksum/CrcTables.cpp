#include "zip/base/checksum/CrcTables.h"

namespace vexmar {

namespace {

// ZIP feeds each byte least significant bit first, so the table is the bit-reflected one: run
// the byte through the generator the most-significant-first way with all bits reversed.
uint32_t reflectedCrcOfByte(uint32_t n) {
    uint32_t v = reverseBits32(n); // the byte, reversed, in the top 8 bits
    for (int round = 0; round < 8; ++round)
        v = (v & 0x80000000u) ? (v << 1) ^ kCrc32Polynomial : v << 1;
    return reverseBits32(v);
}

CrcTables buildTables() {
    CrcTables t;
    for (uint32_t n = 0; n < 256; ++n)
        t.slice[0][n] = reflectedCrcOfByte(n);
    // One more zero byte behind the byte n: one more table step.
    for (int k = 1; k < 16; ++k)
        for (uint32_t n = 0; n < 256; ++n)
            t.slice[k][n] = crcByteStep(t, t.slice[k - 1][n], 0);
    return t;
}

} // namespace

const CrcTables& crcTables() {
    // A function-local static is initialised exactly once; concurrent first callers block until
    // the initialisation has finished.
    static const CrcTables tables = buildTables();
    return tables;
}

} // namespace vexmar
