// Explodes arbitrary data. The first byte chooses the dictionary (bit 0: 8 KB) and the literal
// tree (bit 1); the next two give the expected size, which the output must never pass.
#include "codecs/legacy/Implode.h"
#include "zip/base/DataBuffer.h"
#include "zip/base/LogNull.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vexmar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3 || size > 0xFFFFFFFF)
        return 0;
    const uint64_t expected = uint64_t(data[1] | data[2] << 8);
    DataBuffer out;
    LogNull log;
    Implode decoder;
    decoder.setInput(data + 3, static_cast<uint32_t>(size - 3));
    decoder.decode((data[0] & 1) != 0, (data[0] & 2) != 0, expected, log, out);
    if (out.getSize() > expected)
        std::abort();
    return 0;
}
