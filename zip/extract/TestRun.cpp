// Testing an archive: every file entry is decoded and checked, nothing is written.
#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/extract/EntryWorkers.h"
#include "zip/base/stream/Output.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <vector>

namespace vexmar {

namespace {

// Takes every byte and keeps none.
class DiscardOutput : public Output {
public:
    DiscardOutput() : Output(kMemory) {}
};

} // namespace

bool ClsZip2::testEntries(ProgressEvent* event) {
    beginOperation("Test");
    LogBase& log = m_log;
    const uint32_t n = system_->numEntries();
    if (!checkEntryRanges(log)) {
        endOperation(false);
        return false;
    }
    int64_t total = 0;
    for (uint32_t i = 0; i < n; ++i) {
        ZipEntryBase* entry = system_->entryAt(i);
        if (entry && !entry->isDirectory())
            total += static_cast<int64_t>(entry->getUncompressedSize64());
    }
    ProgressMonitorPtr monitor(event, static_cast<uint32_t>(system_->progressHeartbeatMs), total);

    bool ok = true;
    int32_t failures = 0;
    bool done = false;
    if (system_->workers > 1) {
        std::vector<ZipEntryBase*> files;
        for (uint32_t i = 0; i < n; ++i) {
            ZipEntryBase* entry = system_->entryAt(i);
            if (entry && !entry->isDirectory())
                files.push_back(entry);
        }
        done = testOnWorkers(system_->workers, files, monitor.get(), failures, log);
        ok = failures == 0;
    }
    StringBuffer name;
    for (uint32_t i = 0; i < n && !done && !monitor.abortFlag(); ++i) {
        ZipEntryBase* entry = system_->entryAt(i);
        if (!entry || entry->isDirectory())
            continue;
        DiscardOutput sink;
        LogContextExitor ctx(log, "testEntry");
        if (!entry->mappedInflateToOutput(sink, monitor.get(), log, log.isVerbose())) {
            entry->getFileName(name);
            log.logData("filename", name.getString());
            ok = false;
            ++failures;
        }
    }
    if (!monitor.abortFlag())
        monitor.consumeRemaining(log);
    else
        ok = false;
    log.logDataInt("numFailed", failures);
    endOperation(ok);
    return ok;
}

} // namespace vexmar
