#include "codecs/lzma/LzmaUnpack.h"

#include "codecs/lzma/LzmaDecoder.h"
#include "codecs/lzma/LzmaInput.h"
#include "zip/base/LogNull.h"
#include "zip/base/stream/MemoryDataSource.h"

#include <memory>
#include <new>

namespace vexmar {

namespace {

using namespace lzma;

// Properties, then the decoded size (64 bits, little-endian; all ones when unknown).
constexpr size_t kHeaderSize = kPropertiesSize + 8;
constexpr uint64_t kUnknownSize = UINT64_MAX;
constexpr uint32_t kLargestPiece = 65536;

uint64_t statedSize(const uint8_t* header) {
    uint64_t size = 0;
    for (int i = 7; i >= 0; --i)
        size = size << 8 | header[kPropertiesSize + i];
    return size;
}

// After the last byte the stream must end: cleanly when its size was stated, or else (and
// also then, if the encoder chose to) with the end marker.
bool endsHere(Decoder& decoder, const Window& window, Input& input, bool sizeStated,
              MemoryDataSource& source, LogBase& log) {
    if (decoder.pendingMatch() != 0)
        return false;
    if (sizeStated && decoder.finishedCleanly())
        return true;
    if (!input.fill(source, nullptr, log))
        return false;
    const Status status = decoder.endMarker(window, input.next());
    return !input.overrun() && status == Status::kEndMarker;
}

} // namespace

bool lzmaUnpack(const uint8_t* packed, size_t packedSize, uint8_t* out, size_t outSize) {
    Properties properties;
    if (packedSize < kHeaderSize || !parseProperties(packed, properties))
        return false;
    const uint64_t stated = statedSize(packed);
    if (stated != kUnknownSize && stated != outSize)
        return false;

    // The destination is the whole history: nothing is copied, nothing wraps.
    Window window;
    window.bytes = out;
    window.size = outSize;
    window.dictionary = outSize < properties.dictionarySize ? static_cast<uint32_t>(outSize)
                                                            : properties.dictionarySize;
    const size_t streamSize = packedSize - kHeaderSize;
    MemoryDataSource source(packed + kHeaderSize, streamSize);
    LogNull log;
    std::unique_ptr<Decoder> decoder(new (std::nothrow) Decoder(properties));
    Input input;
    if (!decoder ||
        !input.allocate(streamSize < kLargestPiece ? static_cast<uint32_t>(streamSize)
                                                   : kLargestPiece) ||
        !input.fill(source, nullptr, log))
        return false;
    const bool started = decoder->start(input.next());
    if (!started || input.overrun())
        return false;
    while (window.pos < outSize) {
        if (!input.fill(source, nullptr, log))
            return false;
        // An end marker before the last byte ends the block short of its size.
        if (decoder->run(window, outSize, input.next(), input.safeEnd()) != Status::kRunning ||
            input.overrun())
            return false;
    }
    return endsHere(*decoder, window, input, stated != kUnknownSize, source, log);
}

} // namespace vexmar
