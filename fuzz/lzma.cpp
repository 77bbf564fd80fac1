// Decodes LZMA1 both ways the engine does. The first byte: bit 3 chooses a ZIP method-14 entry
// (read from a source in pieces) or a .lzma block (unpacked in memory); bits 0-2 the largest
// piece the source hands out (0: any); bits 4-7 with the next two bytes the decoded size, up to
// 1 MB. The rest is the entry or the block. An entry never gives more than its size.
#include "CountingOutput.h"
#include "codecs/lzma/LzmaDecode.h"
#include "codecs/lzma/LzmaUnpack.h"
#include "zip/base/LogNull.h"
#include "zip/base/stream/MemoryDataSource.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

using namespace vexmar;

namespace {

class PieceSource : public MemoryDataSource {
public:
    PieceSource(const uint8_t* data, size_t size, uint32_t piece)
        : MemoryDataSource(data, size), piece_(piece) {}
    bool readRaw(uint8_t* buffer, uint32_t max, uint32_t& count, bool& atEnd,
                 ProgressMonitor* monitor, LogBase& log) override {
        return MemoryDataSource::readRaw(buffer, piece_ != 0 && max > piece_ ? piece_ : max, count,
                                         atEnd, monitor, log);
    }

private:
    uint32_t piece_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const bool block = data[0] & 8;
    const uint32_t pieceClass = data[0] & 7;
    const uint32_t piece = pieceClass == 0 ? 0 : 1u << (2 * (pieceClass - 1));
    const size_t decoded = size_t(data[0] >> 4) << 16 | size_t(data[1]) << 8 | data[2];
    data += 3;
    size -= 3;
    if (block) {
        // Exactly the room asked for: a write past it is caught.
        std::unique_ptr<uint8_t[]> out(new uint8_t[decoded == 0 ? 1 : decoded]);
        lzmaUnpack(data, size, out.get(), decoded);
        return 0;
    }
    PieceSource source(data, size, piece);
    CountingOutput output;
    LogNull log;
    lzmaFromSource(source, output, decoded, nullptr, log);
    if (output.bytes > decoded)
        std::abort();
    return 0;
}
