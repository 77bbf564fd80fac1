#include "zip/base/CpuFeatures.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace vexmar {

namespace {

CpuFeatures readCpuFeatures() {
    CpuFeatures f;
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
        f.pclmul = ecx & (1u << 1);
        f.ssse3 = ecx & (1u << 9);
        f.sse41 = ecx & (1u << 19);
        f.aes = ecx & (1u << 25);
    }
    // Leaf 7 sub-leaf 0; the call fails where the processor has no leaf 7.
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) {
        f.bmi2 = ebx & (1u << 8);
        f.sha = ebx & (1u << 29);
    }
#endif
    return f;
}

} // namespace

const CpuFeatures& cpuFeatures() {
    static const CpuFeatures features = readCpuFeatures();
    return features;
}

} // namespace vexmar
