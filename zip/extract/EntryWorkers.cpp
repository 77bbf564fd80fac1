#include "zip/extract/EntryWorkers.h"

#include "zip/central/ZipEntryMapped.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/extract/FoldersAhead.h"
#include "zip/extract/OrderedWork.h"
#include "zip/base/stream/Output.h"
#include "zip/base/stream/ProgressEvent.h"

namespace vexmar {

namespace {

// Takes every byte and keeps none.
class DiscardOutput : public Output {
public:
    DiscardOutput() : Output(kMemory) {}
};

} // namespace

bool unzipOnWorkers(unsigned workers, const std::vector<ZipEntryMapped*>& entries,
                    const UnzipChoice& choice, ProgressEvent* event, ProgressMonitor* monitor,
                    int32_t& count, bool& ok, LogBase& log) {
    // Each entry is worked on by one thread only; its headers were read by the first pass.
    // The failed-folder set is the one thing the entries share, and it keeps its own lock.
    FailedDirectories failedDirectories;
    const EntryWork work = [&](uint32_t slot, LogBase& entryLog, ProgressMonitor* entryMonitor) {
        EntryOutcome outcome;
        outcome.ok = entries[slot]->inflateMappedEntry(
            choice.directory, choice.ignoreFolders, choice.clearReadOnly, failedDirectories,
            outcome.count, entryMonitor, entryLog, entryLog.isVerbose());
        return outcome;
    };
    StringBuffer name;
    const EntryDelivery deliver = [&](uint32_t slot, const EntryOutcome& outcome) {
        count += outcome.count;
        if (!outcome.ok) {
            ok = false;
            return true;
        }
        if (!event)
            return true;
        ZipEntryMapped& entry = *entries[slot];
        entry.getFileName(name);
        name.removeNameUnsafeChars();
        bool abort = false;
        event->fileUnzipped(name.getString(), static_cast<int64_t>(entry.getCompressedSize64()),
                            static_cast<int64_t>(entry.getUncompressedSize64()),
                            entry.isDirectory(), &abort);
        if (abort)
            return false;
        event->progressInfo("fileUnzipped", name.getString());
        return true;
    };
    // A file written beyond the point of an abort would not have been written by one thread.
    const EntryUndo undo = [&](uint32_t slot, const EntryOutcome& outcome) {
        if (outcome.count > 0)
            entries[slot]->removeExtractedFile(choice.directory, choice.ignoreFolders);
    };
    const FoldersAhead folders(entries, choice.directory, choice.ignoreFolders);
    const EntryInTurn inTurn = [&](uint32_t slot) { return folders.targetExisted(slot); };
    const OrderedRun run =
        runOrdered(workers, static_cast<uint32_t>(entries.size()), log, monitor, work, deliver,
                   undo, inTurn);
    if (run.cutShort)
        ok = false;
    if (run.started && run.delivered < entries.size())
        folders.removeBeyond(run.delivered);
    return run.started;
}

bool testOnWorkers(unsigned workers, const std::vector<ZipEntryBase*>& entries,
                   ProgressMonitor* monitor, int32_t& failures, LogBase& log) {
    const EntryWork work = [&](uint32_t slot, LogBase& entryLog, ProgressMonitor* entryMonitor) {
        DiscardOutput sink;
        LogContextExitor ctx(entryLog, "testEntry");
        EntryOutcome outcome;
        outcome.ok = entries[slot]->mappedInflateToOutput(sink, entryMonitor, entryLog,
                                                          entryLog.isVerbose());
        if (!outcome.ok) {
            StringBuffer name;
            entries[slot]->getFileName(name);
            entryLog.logData("filename", name.getString());
        }
        return outcome;
    };
    const EntryDelivery deliver = [&](uint32_t, const EntryOutcome& outcome) {
        if (!outcome.ok)
            ++failures;
        return true;
    };
    const EntryUndo undo = [](uint32_t, const EntryOutcome&) {};
    const OrderedRun run =
        runOrdered(workers, static_cast<uint32_t>(entries.size()), log, monitor, work, deliver,
                   undo);
    // The entry a heartbeat's abort cut short failed, as it does on one thread.
    if (run.cutShort)
        ++failures;
    return run.started;
}

} // namespace vexmar
