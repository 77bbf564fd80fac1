// Refusing archives whose entries share bytes. Each entry's local header and stored data
// must be its own: directory records that point into one another's data let a few
// kilobytes stand for any number of large entries.
#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/central/ZipFormat.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogNull.h"

#include <algorithm>
#include <vector>

namespace vexmar {

using zipfmt::kLocalHeaderSize;

namespace {

struct EntryRange {
    uint64_t start; // the local header
    uint64_t end;   // just past the stored data
    uint32_t index;
};

void logEntryName(LogBase& log, const char* item, ZipEntryBase& entry) {
    StringBuffer name;
    entry.getFileName(name);
    log.logDataSb(item, name);
}

} // namespace

bool ClsZip2::checkEntryRanges(LogBase& log) {
    std::vector<EntryRange> ranges;
    ranges.reserve(system_->numEntries());
    for (uint32_t i = 0; i < system_->numEntries(); ++i) {
        auto* entry = static_cast<ZipEntryMapped*>(system_->entryAt(i));
        // An entry without a central header fails on its own later.
        if (!entry || !entry->ensureCentralLoaded())
            continue;
        const ZipEntryInfo& info = *entry->info();
        const uint64_t start = info.localHeaderOffset;
        // A local header that cannot be read still takes its fixed part.
        uint64_t end = start + kLocalHeaderSize;
        if (entry->ensureLocalLoaded())
            end = info.dataOffset + info.compressedSize;
        ranges.push_back({start, end < start ? UINT64_MAX : end, i});
    }
    std::sort(ranges.begin(), ranges.end(), [](const EntryRange& a, const EntryRange& b) {
        return a.start != b.start ? a.start < b.start : a.index < b.index;
    });
    // Sorted by start, an overlap shows as a start below the furthest end seen so far.
    const EntryRange* furthest = nullptr;
    for (const EntryRange& range : ranges) {
        if (furthest && range.start < furthest->end) {
            log.logError("Two entries share bytes of the archive.");
            logEntryName(log, "entry", *system_->entryAt(std::min(furthest->index, range.index)));
            logEntryName(log, "otherEntry",
                         *system_->entryAt(std::max(furthest->index, range.index)));
            log.logDataInt64("localHeaderOffset", static_cast<int64_t>(range.start));
            return false;
        }
        if (!furthest || range.end > furthest->end)
            furthest = &range;
    }
    return true;
}

} // namespace vexmar
