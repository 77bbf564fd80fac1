// Unshrinks arbitrary data. The first two bytes give the expected size, which the output must
// never pass.
#include "codecs/legacy/Unshrink.h"
#include "zip/base/DataBuffer.h"
#include "zip/base/LogNull.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vexmar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2 || size > 0xFFFFFFFF)
        return 0;
    const uint64_t expected = uint64_t(data[0] | data[1] << 8);
    DataBuffer out;
    LogNull log;
    Unshrink decoder;
    decoder.decode(data + 2, static_cast<uint32_t>(size - 2), expected, log, out);
    if (out.getSize() > expected)
        std::abort();
    return 0;
}
