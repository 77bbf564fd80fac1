// Chooses the CRC-32 loop once, from what the processor offers.
#include "zip/base/checksum/CrcKernels.h"

#if defined(VEXMAR_CRC32_CLMUL)
#include <cpuid.h>
#endif

namespace vexmar {

#if defined(VEXMAR_CRC32_CLMUL)
bool cpuHasClmul() {
    constexpr unsigned kPclmulqdq = 1u << 1; // CPUID leaf 1, ECX
    constexpr unsigned kSse41 = 1u << 19;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
        return false;
    return (ecx & kPclmulqdq) && (ecx & kSse41);
}
#endif

namespace {

using CrcLoop = uint32_t (*)(uint32_t, const uint8_t*, size_t);

CrcLoop fastestLoop() {
#if defined(VEXMAR_CRC32_CLMUL)
    if (cpuHasClmul())
        return crc32Clmul;
#endif
    return crc32Slice16;
}

} // namespace

uint32_t crc32Update(uint32_t running, const uint8_t* data, size_t length) {
    static const CrcLoop loop = fastestLoop();
    return loop(running, data, length);
}

} // namespace vexmar
