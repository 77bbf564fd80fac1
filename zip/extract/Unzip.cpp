// An extraction run: which entries to write (first pass) and writing them (second pass).
#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/LogNull.h"
#include "zip/extract/EntryWorkers.h"
#include "zip/extract/NamePattern.h"
#include "zip/extract/UnixAttributes.h"
#include "zip/base/fs/FileSys.h"
#include "zip/base/fs/VexmarHandle.h"
#include "zip/base/stream/ProgressEvent.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <vector>

namespace vexmar {

namespace {

struct EntryFacts {
    StringBuffer name;
    int64_t compressedSize = 0;
    int64_t size = 0;
    bool isDirectory = false;
};

void readFacts(ZipEntryBase& entry, EntryFacts& facts) {
    entry.getFileName(facts.name);
    facts.name.removeNameUnsafeChars();
    facts.compressedSize = static_cast<int64_t>(entry.getCompressedSize64());
    facts.size = static_cast<int64_t>(entry.getUncompressedSize64());
    facts.isDirectory = entry.isDirectory();
}

bool askAbort(ProgressEvent* event) {
    bool abort = false;
    if (event)
        event->abortCheck(&abort);
    return abort;
}

// An entry is newer unless a file is at its target and was written no earlier.
bool isNewerThanTarget(ZipEntryMapped& entry, const XString& target) {
    VexmarHandle file = FileSys::openForReadWin32(target, nullptr, nullptr);
    os::FileTime existing = 0;
    if (!file.isOpen() || !file.lastWriteTime(existing, nullptr))
        return true;
    if (!entry.ensureCentralLoaded())
        return true;
    const CentralHeader& h = entry.info()->central;
    return FileSys::fileTimeFromDos(h.dosDate, h.dosTime) > existing;
}

void finishUnzip(ZipSystem& system, const XString& directory, bool ignoreFolders,
                 const char* pattern, ProgressMonitorPtr& monitor, LogBase& log) {
    restoreFolderTimes(system, directory, ignoreFolders, pattern);
    if (!monitor.abortFlag())
        monitor.consumeRemaining(log);
}

} // namespace

bool ClsZip2::unzipCommon(const char* operationName, const XString& directory,
                          const char* pattern, bool onlyNewer, bool ignoreFolders,
                          ProgressEvent* event, int32_t& count) {
    LogBase& log = m_log;
    beginOperation(operationName);
    XString dir;
    dir.setFromX(directory);
    dir.trim();
    if (dir.isEmpty())
        dir.setFromUtf8(".");

    count = 0;
    log.logDataInt("oemCodePage", system_->oemCodePage);
    log.logDataStr("unzipDir", dir);
    if (pattern)
        log.logData("matchPattern", pattern);
    log.logDataInt("onlyNewer", onlyNewer ? 1 : 0);
    log.logDataInt("ignoreZipDirs", ignoreFolders ? 1 : 0);

    const bool ok = unzipFromBaseDir(dir, ignoreFolders, pattern, onlyNewer, event, count, log);
    log.logDataInt("numUnzipped", count);
    if (!ok)
        log.logError("Not all files extracted successfully.");
    endOperation(ok);
    return ok;
}

bool ClsZip2::unzipFromBaseDir(const XString& directory, bool ignoreFolders, const char* pattern,
                               bool onlyNewer, ProgressEvent* event, int32_t& count,
                               LogBase& log) {
    LogContextExitor ctx(log, "unzipFromBaseDir");
    const bool verbose = log.isVerbose();
    if (askAbort(event)) {
        log.logError("Unzip aborted by application");
        return false;
    }
    const uint32_t n = system_->numEntries();
    if (verbose)
        log.logDataInt64("numEntries", n);
    if (!checkEntryRanges(log))
        return false;

    // First pass: decide, and let the application exclude entries.
    int64_t total = 0;
    EntryFacts facts;
    for (uint32_t i = 0; i < n; ++i) {
        auto* entry = static_cast<ZipEntryMapped*>(system_->entryAt(i));
        if (!entry)
            continue;
        readFacts(*entry, facts);
        if (i % 50 == 0 && askAbort(event)) {
            log.logError("Unzip aborted by application");
            return false;
        }
        entry->setExcluded(false);

        const char* reason = nullptr;
        XString target;
        LogNull quiet;
        const bool haveTarget = entry->targetPath(directory, ignoreFolders, target, quiet);
        const bool exists = haveTarget && FileSys::fileExists(target, nullptr);
        if (onlyNewer && !facts.isDirectory && haveTarget && !isNewerThanTarget(*entry, target)) {
            reason = "excludeNotNewer";
        } else if (system_->overwriteExisting || !exists) {
            if (!pattern || matchesNamePattern(facts.name.getString(), pattern)) {
                bool exclude = false;
                if (event)
                    event->toBeUnzipped(facts.name.getString(), facts.compressedSize, facts.size,
                                        facts.isDirectory, &exclude);
                if (exclude) {
                    entry->setExcluded(true);
                    if (verbose)
                        log.logDataSb("excludeByCallback", facts.name);
                } else if (!facts.isDirectory) {
                    total += facts.size;
                }
            }
        } else {
            reason = "excludeNoOverwrite";
        }
        if (reason) {
            if (verbose)
                log.logDataSb(reason, facts.name);
            entry->setExcluded(true);
            if (event) {
                event->skippedForUnzip(facts.name.getString(), facts.compressedSize, facts.size,
                                       facts.isDirectory);
                event->progressInfo("skippedForUnzip", facts.name.getString());
            }
        }
    }
    log.logDataInt64("totalSizeToUnzip", total);
    ProgressMonitorPtr monitor(event, static_cast<uint32_t>(system_->progressHeartbeatMs), total);

    // Second pass: write what the first one kept.
    bool ok = true;
    if (system_->workers > 1) {
        std::vector<ZipEntryMapped*> chosen;
        for (uint32_t i = 0; i < n; ++i) {
            auto* entry = static_cast<ZipEntryMapped*>(system_->entryAt(i));
            if (!entry || entry->isExcluded())
                continue;
            readFacts(*entry, facts);
            if (!pattern || matchesNamePattern(facts.name.getString(), pattern))
                chosen.push_back(entry);
        }
        const UnzipChoice choice{directory, ignoreFolders, system_->clearReadOnly != 0};
        if (unzipOnWorkers(system_->workers, chosen, choice, event, monitor.get(), count, ok,
                           log)) {
            finishUnzip(*system_, directory, ignoreFolders, pattern, monitor, log);
            return ok;
        }
    }
    FailedDirectories failedDirectories;
    for (uint32_t i = 0; i < n; ++i) {
        auto* entry = static_cast<ZipEntryMapped*>(system_->entryAt(i));
        if (!entry || entry->isExcluded())
            continue;
        readFacts(*entry, facts);
        if (pattern && !matchesNamePattern(facts.name.getString(), pattern))
            continue;
        if (!entry->inflateMappedEntry(directory, ignoreFolders, system_->clearReadOnly != 0,
                                       failedDirectories, count, monitor.get(), log, verbose)) {
            ok = false;
        } else if (event) {
            bool abort = false;
            event->fileUnzipped(facts.name.getString(), facts.compressedSize, facts.size,
                                facts.isDirectory, &abort);
            if (abort)
                break;
            event->progressInfo("fileUnzipped", facts.name.getString());
        }
        if (monitor.abortFlag())
            break;
    }
    finishUnzip(*system_, directory, ignoreFolders, pattern, monitor, log);
    return ok;
}

} // namespace vexmar
