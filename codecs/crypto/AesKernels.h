// The AES block loops behind AesEncryptor: one portable and constant-time, one with the
// processor's AES instructions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexmar {

// The S-box on eight bytes at once, computed (inversion in GF(2^8), then the affine map)
// rather than looked up, so that no secret byte becomes a memory address.
uint64_t aesSubBytes8(uint64_t bytes);

void aesEncryptPortable(const uint8_t* roundKeys, int rounds, const uint8_t in[16],
                        uint8_t out[16]);
void aesCtrXorPortable(const uint8_t* roundKeys, int rounds, uint64_t& counter, uint8_t* data,
                       size_t blocks);

#if defined(__i386__) || defined(__x86_64__)
#define VEXMAR_AES_NI 1
// Whether the processor has the AES instructions (and SSE4.1, which the loops use too).
bool cpuHasAesNi();
void aesEncryptNi(const uint8_t* roundKeys, int rounds, const uint8_t in[16], uint8_t out[16]);
void aesCtrXorNi(const uint8_t* roundKeys, int rounds, uint64_t& counter, uint8_t* data,
                 size_t blocks);
#endif

} // namespace vexmar
