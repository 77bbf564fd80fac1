// Reading one entry into the caller's hands, for a look at a file in the archive
// without writing it anywhere.
#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/base/CritSecExitor.h"
#include "zip/base/LogContextExitor.h"
#include "zip/facade/ClsZip.h"
#include "zip/facade/VxZipW.h"
#include "zip/base/stream/Output.h"

namespace vexmar {

namespace {

// Passes every piece on; a piece the caller refuses fails the write, which ends
// the decoding.
class CallerOutput : public Output {
public:
    explicit CallerOutput(const VxZipW::EntryBytes& take) : Output(kMemory), take_(take) {}

    bool writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor*, LogBase& log) override {
        while (length > 0) {
            const size_t piece = length > kPiece ? kPiece : size_t(length);
            if (!take_(data, piece)) {
                log.logError("The reader stopped the entry");
                return false;
            }
            data += piece;
            length -= piece;
        }
        return true;
    }

private:
    static constexpr uint64_t kPiece = 1u << 20;
    const VxZipW::EntryBytes& take_;
};

} // namespace

bool VxZipW::ReadEntry(uint32_t i, const EntryBytes& take) {
    ClsZip2* zip = impl_->archive();
    if (!zip || !take)
        return false;
    CritSecExitor lock(impl_.get());
    Logger& log = zip->lastErrorLog();
    log.clearLog();
    LogContextExitor ctx(log, "ReadEntry");
    auto* entry = static_cast<ZipEntryMapped*>(impl_->system().entryAt(i));
    if (!entry || !entry->ensureCentralLoaded(log) || entry->isDirectory()) {
        log.logError("No file entry at this index");
        return false;
    }
    CallerOutput sink(take);
    return entry->mappedInflateToOutput(sink, nullptr, log, false) && !sink.hasError();
}

} // namespace vexmar
