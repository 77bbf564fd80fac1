// The SHA-1 block functions: each folds whole 64-byte blocks into the five state words.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexmar {

void sha1BlocksPortable(uint32_t state[5], const uint8_t* data, size_t blocks);

#if defined(__i386__) || defined(__x86_64__)
#define VEXMAR_SHA_NI 1
// Whether the processor has the SHA instructions (with SSSE3 and SSE4.1, used alongside).
bool cpuHasShaNi();
void sha1BlocksNi(uint32_t state[5], const uint8_t* data, size_t blocks);
#endif

// The fastest of the above that this processor runs.
void sha1Blocks(uint32_t state[5], const uint8_t* data, size_t blocks);

} // namespace vexmar
