#include "codecs/lzma/LzmaStream.h"

#include "codecs/lzma/LzmaDecoder.h"
#include "codecs/lzma/LzmaInput.h"
#include "zip/base/LogBase.h"
#include "zip/base/stream/DataSource.h"
#include "zip/base/stream/Output.h"

#include <memory>
#include <new>

namespace vexmar::lzma {

namespace {

// Input is read, and output handed over, in pieces of at most this size.
constexpr uint32_t kPiece = 65536;

bool endsEarly(LogBase& log) {
    log.logError("LZMA data ends before the entry's size is reached.");
    return false;
}

bool corrupt(LogBase& log) {
    log.logError("LZMA data is corrupt.");
    return false;
}

} // namespace

bool decodeStream(const Properties& properties, DataSource& source, Output& output, uint64_t size,
                  ProgressMonitor* monitor, LogBase& log) {
    // Matches never reach further back than the output is long, however large a dictionary
    // the header asks for.
    Window window;
    window.size =
        size < properties.dictionarySize ? static_cast<size_t>(size) : properties.dictionarySize;
    window.dictionary = static_cast<uint32_t>(window.size);
    std::unique_ptr<uint8_t[]> history(new (std::nothrow) uint8_t[window.size]);
    std::unique_ptr<Decoder> decoder(new (std::nothrow) Decoder(properties));
    Input input;
    if (!history || !decoder || !input.allocate(kPiece)) {
        log.logError("Not enough memory for the LZMA decoder.");
        log.logDataInt64("dictionarySize", static_cast<int64_t>(window.size));
        return false;
    }
    window.bytes = history.get();

    if (!input.fill(source, monitor, log)) {
        log.logError("Failed to read LZMA compressed data.");
        return false;
    }
    const bool started = decoder->start(input.next());
    if (input.overrun())
        return endsEarly(log);
    if (!started)
        return corrupt(log);

    for (uint64_t remaining = size; remaining != 0;) {
        if (!input.fill(source, monitor, log)) {
            log.logError("Failed to read LZMA compressed data.");
            return false;
        }
        const size_t from = window.pos;
        size_t room = window.size - from;
        if (room > kPiece)
            room = kPiece;
        if (room > remaining)
            room = static_cast<size_t>(remaining);
        const Status status = decoder->run(window, from + room, input.next(), input.safeEnd());
        // Bytes decoded from the zeros past the data are not the data's: say it ended.
        if (input.overrun())
            return endsEarly(log);
        if (status == Status::kCorrupt)
            return corrupt(log);
        const size_t produced = window.pos - from;
        if (produced != 0 && !output.write(window.bytes + from, produced, monitor, log)) {
            log.logError("Failed to write LZMA decompressed data.");
            return false;
        }
        if (status == Status::kEndMarker)
            break;
        remaining -= produced;
        if (window.pos == window.size)
            window.pos = 0;
    }
    return true;
}

} // namespace vexmar::lzma
