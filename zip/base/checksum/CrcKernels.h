// The CRC-32 loops. Each takes the running value (the CRC register before the final
// complement), feeds it the bytes and returns the new running value; all give the same results.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexmar {

// One byte per step, exactly as the table is defined: the reference for the others.
uint32_t crc32Bytewise(uint32_t running, const uint8_t* data, size_t length);

// Sixteen bytes per round through the sliced tables, then single bytes.
uint32_t crc32Slice16(uint32_t running, const uint8_t* data, size_t length);

#if defined(__i386__) || defined(__x86_64__)
#define VEXMAR_CRC32_CLMUL 1
// Whether the processor has PCLMULQDQ and SSE4.1.
bool cpuHasClmul();
// Folds 64 bytes per round with carry-less multiplication; only for processors with cpuHasClmul().
uint32_t crc32Clmul(uint32_t running, const uint8_t* data, size_t length);
#endif

// The fastest of the loops above that this processor runs.
uint32_t crc32Update(uint32_t running, const uint8_t* data, size_t length);

} // namespace vexmar
