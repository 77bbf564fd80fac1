// Whether this processor runs each vector-instruction path, for tests that compare those
// paths with their portable twins (false where a path is not compiled in).
#pragma once

#include "zip/base/checksum/CrcKernels.h"
#include "codecs/crypto/AesKernels.h"
#include "codecs/crypto/Sha1Kernels.h"

inline bool hasAesNi() {
#if defined(VEXMAR_AES_NI)
    return vexmar::cpuHasAesNi();
#else
    return false;
#endif
}

inline bool hasShaNi() {
#if defined(VEXMAR_SHA_NI)
    return vexmar::cpuHasShaNi();
#else
    return false;
#endif
}

inline bool hasClmul() {
#if defined(VEXMAR_CRC32_CLMUL)
    return vexmar::cpuHasClmul();
#else
    return false;
#endif
}
