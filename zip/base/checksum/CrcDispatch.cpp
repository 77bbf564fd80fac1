// Chooses the CRC-32 loop once, from what the processor offers.
#include "zip/base/checksum/CrcKernels.h"

#if defined(VEXMAR_CRC32_CLMUL)
#include "zip/base/CpuFeatures.h"
#endif

namespace vexmar {

#if defined(VEXMAR_CRC32_CLMUL)
bool cpuHasClmul() {
    return cpuFeatures().pclmul && cpuFeatures().sse41;
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
