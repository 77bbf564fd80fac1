// Stored data goes from its source to the output unchanged, in large chunks.
#include "zip/base/LogBase.h"
#include "zip/base/stream/DataSource.h"
#include "zip/base/stream/Output.h"

#include <memory>
#include <new>

namespace vexmar {

bool DataSource::copyToOutput(Output& output, uint64_t& total, ProgressMonitor* monitor,
                              LogBase& log) {
    // A little slack past the chunk, as for every chunk buffer of the engine.
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[kCopyChunk + 8]);
    if (!buffer)
        return false;
    total = 0;
    while (!atEnd()) {
        uint32_t count = 0;
        bool end = false;
        if (!readRaw(buffer.get(), kCopyChunk, count, end, monitor, log)) {
            log.logError("Failed to read more from data source.");
            return false;
        }
        if (count == 0) {
            if (end)
                break;
            continue;
        }
        total += count;
        if (!account(buffer.get(), count, log))
            return false;
        if (!output.write(buffer.get(), count, monitor, log)) {
            log.logError("Failed to write data to output.");
            return false;
        }
        if (monitor && !reportProgress(count, *monitor, log)) {
            log.logError("Copy-to-output aborted in application event callback.");
            return false;
        }
    }
    return true;
}

} // namespace vexmar
