// Decodes PPMd variant I data: the first two bytes are the method-98 header (model order,
// restoration method; the sub-allocator is held to 1 to 4 MB so that the model runs out of
// memory, and restarts or cuts itself off, within a run), the rest is the coded data. The
// output is capped; a decode that succeeds must have stopped at an end mark within the cap.
#include "CountingOutput.h"
#include "codecs/ppmd/PpmdI1Platform.h"
#include "zip/base/LogNull.h"
#include "zip/base/stream/MemoryDataSource.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vexmar;

namespace {

constexpr uint64_t kOutputLimit = 4u << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const unsigned v = data[0] | (data[1] << 8);
    const unsigned order = (v & 0xF) + 1;
    const unsigned megabytes = ((v >> 4) & 3) + 1;
    const unsigned restoration = (v >> 12) & 3;

    MemoryDataSource source(data + 2, size - 2);
    CountingOutput output;
    LogNull log;
    PpmdI1Platform ppmd;
    const bool ok =
        ppmd.decode(restoration, order, megabytes, source, output, nullptr, log, kOutputLimit);
    if (output.bytes > kOutputLimit || (ok && restoration > 1))
        std::abort();
    return 0;
}
