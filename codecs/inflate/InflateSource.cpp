// Driving the decoder over a whole source, chunk by chunk, and the zlib wrapper's check.
#include "codecs/inflate/Inflate.h"
#include "codecs/inflate/InflateState.h"

#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/stream/DataSource.h"
#include "zip/base/stream/Output.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <algorithm>
#include <memory>
#include <new>

namespace vexmar {

namespace {

constexpr uint32_t kMinChunkSize = 256;
constexpr uint32_t kMaxChunkSize = 262144;

bool aborted(ProgressMonitor* monitor, LogBase& log) {
    if (monitor == nullptr || !monitor->abortFlag())
        return false;
    log.logError("Inflate aborted by application callback.");
    return true;
}

} // namespace

bool InflateState::inflateSource(DataSource& source, uint32_t chunkSize, Output& output,
                                 ProgressMonitor* monitor, LogBase& log) {
    LogContextExitor context(log, "inflateSource");
    if (chunkSize == 0)
        chunkSize = kDefaultChunkSize;
    chunkSize = std::clamp(chunkSize, kMinChunkSize, kMaxChunkSize);

    // A source that holds its bytes in memory (an archive image) lends them: nothing is copied,
    // and the pieces are as large as the largest chunk.
    const bool inPlace = source.canLend() && !source.transform();
    if (inPlace)
        chunkSize = kMaxChunkSize;
    // Short of memory, half and then a quarter of the size will do.
    std::unique_ptr<uint8_t[]> chunk;
    for (int attempt = 0; attempt < 3 && !chunk && !inPlace; ++attempt) {
        chunk.reset(new (std::nothrow) uint8_t[chunkSize >> attempt]);
        if (chunk)
            chunkSize >>= attempt;
    }
    if (!chunk && !inPlace)
        return false;

    output.runBegin();
    bool ok = true;
    bool atEnd = false;
    while (!atEnd) {
        uint32_t count = 0;
        const uint8_t* data = chunk.get();
        const bool read = inPlace ? source.readInPlace(data, chunkSize, count, atEnd, monitor, log)
                                  : source.read(chunk.get(), chunkSize, count, atEnd, monitor, log);
        if (!read) {
            log.logError("Data source read failed.");
            ok = false;
            break;
        }
        if (count == 0)
            break;
        if (aborted(monitor, log)) {
            ok = false;
            break;
        }
        uint32_t leftover = 0;
        if (!inflateBlock(data, count, leftover, output, monitor, log)) {
            log.logError("inflateBlock failed.");
            ok = false;
            break;
        }
        if (finished_) {
            // Leave the source just after the compressed data: what follows (a trailer, the
            // next entry) is read from there, so a source that cannot go back fails the run.
            if (leftover != 0 && !source.seekRelative(-static_cast<int64_t>(leftover))) {
                log.logError("Failed to seek back to the end of the compressed data.");
                ok = false;
            }
            break;
        }
        if (aborted(monitor, log)) {
            ok = false;
            break;
        }
    }
    output.runEnd();
    return ok;
}

bool inflateFromSource(bool zlibWrapped, DataSource& source, Output& output, bool deflate64,
                       ProgressMonitor* monitor, LogBase& log, uint64_t maxOutputBytes) {
    LogContextExitor context(log, "inflateFromSource");
    // The decoder holds its tables: too large for a worker thread's stack.
    const std::unique_ptr<InflateState> decoder(new (std::nothrow) InflateState);
    if (!decoder) {
        log.logError("Inflate from source failed.");
        return false;
    }
    InflateState& state = *decoder;
    state.setState(zlibWrapped ? InflateState::kZlibHeader : InflateState::kBlockHeader);
    state.setDeflate64(deflate64);
    state.setOutputLimit(maxOutputBytes);
    if (zlibWrapped)
        output.setComputeAdler(true);

    bool ok = state.inflateSource(source, InflateState::kDefaultChunkSize, output, monitor, log);
    if (ok && !state.isFinished()) {
        // Whatever came out is incomplete; it must not pass for the whole.
        log.logError("Deflate data ends before its final block.");
        ok = false;
    }
    if (!ok) {
        log.logError("Inflate from source failed.");
        return false;
    }
    if (!zlibWrapped)
        return true;

    const uint32_t computed = output.adler32();
    if (log.isVerbose()) {
        log.logDataHex("computedAdler", computed);
        log.logDataHex("receivedAdler", state.receivedAdler());
    }
    if (computed != state.receivedAdler()) {
        log.logError("Computed and received Adler checksums do NOT match.");
        return false;
    }
    if (log.isVerbose())
        log.logInfo("Computed and received Adler checksums match.");
    return true;
}

} // namespace vexmar
