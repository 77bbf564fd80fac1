// What the processor offers the engine's faster loops, asked of CPUID once per process.
#pragma once

namespace vexmar {

struct CpuFeatures {
    bool ssse3 = false;
    bool sse41 = false;
    bool pclmul = false;
    bool aes = false;
    bool sha = false;
    bool bmi2 = false;
};

// All false on processors other than x86.
const CpuFeatures& cpuFeatures();

} // namespace vexmar
