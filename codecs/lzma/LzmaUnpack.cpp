#include "codecs/lzma/LzmaUnpack.h"

#include <lzma.h>

namespace vexmar {

namespace {

// The block's header says how large a dictionary it needs; packed tables ask
// for little, and nothing built in should cost more than this.
constexpr uint64_t kMemoryLimit = 16u << 20;

struct Decoder {
    lzma_stream s = LZMA_STREAM_INIT;
    ~Decoder() { lzma_end(&s); }
};

} // namespace

bool lzmaUnpack(const uint8_t* packed, size_t packedSize, uint8_t* out, size_t outSize) {
    Decoder d;
    if (lzma_alone_decoder(&d.s, kMemoryLimit) != LZMA_OK)
        return false;
    d.s.next_in = packed;
    d.s.avail_in = packedSize;
    d.s.next_out = out;
    d.s.avail_out = outSize;
    lzma_ret ret = lzma_code(&d.s, LZMA_FINISH);
    if (ret == LZMA_OK && d.s.avail_out == 0) {
        // Full: the block must end here, with nothing more in it.
        uint8_t extra;
        d.s.next_out = &extra;
        d.s.avail_out = 1;
        ret = lzma_code(&d.s, LZMA_FINISH);
        if (d.s.avail_out == 0)
            return false;
    }
    return ret == LZMA_STREAM_END && d.s.total_out == outSize;
}

} // namespace vexmar
