#include "codecs/ppmd/PpmdEntry.h"

#include "codecs/ppmd/PpmdI1Platform.h"
#include "zip/base/LogBase.h"
#include "zip/base/stream/DataSource.h"

namespace vexmar {

bool ppmdFromSource(DataSource& source, Output& output, uint64_t uncompressedSize,
                    ProgressMonitor* monitor, LogBase& log, bool verbose) {
    uint8_t header[2];
    if (source.readExactly(header, 2, monitor, log) != 2) {
        log.logError("Failed to get 1st two bytes of PPMD compressed data.");
        return false;
    }
    const unsigned v = header[0] | (header[1] << 8);
    const unsigned order = (v & 0xF) + 1;
    const unsigned megabytes = ((v >> 4) & 0xFF) + 1;
    const unsigned restoration = v >> 12;
    if (verbose) {
        log.logDataInt("maxModelOrder", static_cast<int>(order));
        log.logDataInt("subAllocatorSize", static_cast<int>(megabytes));
        log.logDataInt("modelRestorationMethod", static_cast<int>(restoration));
    }
    PpmdI1Platform ppmd;
    return ppmd.decode(restoration, order, megabytes, source, output, monitor, log,
                       uncompressedSize);
}

} // namespace vexmar
