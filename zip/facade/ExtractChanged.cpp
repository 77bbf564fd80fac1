// Bringing a folder that an earlier extraction filled up to date with the archive:
// every file entry is compared with its file (present, same size, same CRC-32),
// and only the entries whose file is missing or differs are written again.
#include "zip/facade/VxZipW.h"

#include "zip/base/checksum/ZipCRC.h"
#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/base/CritSecExitor.h"
#include "zip/base/LogNull.h"
#include "zip/base/XString.h"
#include "zip/facade/ClsZip.h"
#include "zip/facade/VxZipCbW.h"
#include "zip/base/fs/FileSys.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vexmar {

namespace {

// Paths compared the way Windows names files: either separator, letters A-Z in
// either case.
std::string comparable(const char* path) {
    std::string out(path);
    for (char& c : out) {
        if (c == '/')
            c = '\\';
        else if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}

// Progress over the whole job: a matching file counts its bytes while it is read,
// and the extraction's own percentages cover the bytes that were not matched.
class WholeJobProgress {
public:
    WholeJobProgress(ProgressEvent* sink, int64_t total) : sink_(sink), total_(total) {}

    // False when the application asked to stop.
    bool checked(int64_t bytes) {
        matched_ += bytes;
        return report(ProgressMonitor::percentOf(matched_, total_));
    }
    bool extracted(int32_t percent) {
        const int64_t rest = total_ - matched_;
        return report(ProgressMonitor::percentOf(matched_ + rest * percent / 100, total_));
    }

private:
    bool report(int32_t percent) {
        if (!sink_ || percent <= reported_)
            return true;
        reported_ = percent;
        bool abort = false;
        sink_->percentDone(percent, &abort);
        return !abort;
    }

    ProgressEvent* sink_;
    int64_t total_;
    int64_t matched_ = 0;
    int32_t reported_ = 0;
};

// The extraction's events go on to the application, except that entries whose
// file already matches are excluded and percentages cover the whole job.
class ChangedOnlyEvent : public VxZipCbW {
public:
    ChangedOnlyEvent(VxZipProgressW* app, const std::set<std::string>& keep,
                     WholeJobProgress& progress)
        : VxZipCbW(app), keep_(keep), progress_(progress), passOn_(app != nullptr) {}

    void percentDone(int32_t percent, bool* abort) override {
        *abort = passOn_ && !progress_.extracted(percent);
    }
    void toBeUnzipped(const char* name, int64_t compressedSize, int64_t size, bool isDirectory,
                      bool* exclude) override {
        if (!isDirectory && keep_.count(name)) {
            *exclude = true;
            return;
        }
        VxZipCbW::toBeUnzipped(name, compressedSize, size, isDirectory, exclude);
    }

private:
    const std::set<std::string>& keep_;
    WholeJobProgress& progress_;
    bool passOn_;
};

// Whether the file at `path` holds exactly `size` bytes whose CRC-32 is `crc`.
// Its bytes count towards the progress as they are read.
bool fileMatches(const XString& path, uint64_t size, uint32_t crc, WholeJobProgress& progress,
                 bool& aborted) {
    VexmarHandle file = FileSys::openForReadWin32(path, nullptr, nullptr);
    int64_t actual = 0;
    if (!file.isOpen() || !file.size64(actual, nullptr) || uint64_t(actual) != size)
        return false;
    vexmar::ZipCRC running;
    std::vector<uint8_t> buffer(1 << 16);
    uint64_t seen = 0;
    for (;;) {
        uint32_t count = 0;
        bool atEnd = false;
        if (!file.read(buffer.data(), uint32_t(buffer.size()), count, atEnd, nullptr))
            return false;
        if (count == 0)
            break;
        running.update(buffer.data(), count);
        seen += count;
        if (seen > size)
            return false;
    }
    if (seen != size || running.crc() != crc)
        return false;
    aborted = !progress.checked(int64_t(size));
    return true;
}

} // namespace

bool VxZipW::ExtractChanged(const os::wchar* directory, const os::wchar* onlyFile,
                            uint32_t* rewritten, VxChangedPlan* plan,
                            const std::function<bool(const VxChangedPlan&)>& beforeWriting) {
    if (rewritten)
        *rewritten = 0;
    if (plan)
        *plan = VxChangedPlan{};
    ClsZip2* zip = impl_->archive();
    if (!zip)
        return false;
    XString dir;
    if (directory)
        dir.setFromWide(reinterpret_cast<const char16_t*>(directory), os::wideLength(directory));
    dir.trim();
    if (dir.isEmpty())
        dir.setFromUtf8(".");
    std::string only;
    if (onlyFile) {
        XString wanted;
        wanted.setFromWide(reinterpret_cast<const char16_t*>(onlyFile), os::wideLength(onlyFile));
        only = comparable(wanted.getUtf8());
    }

    CritSecExitor lock(impl_.get());
    zip->lastErrorLog().clearLog();
    ZipSystem& system = impl_->system();
    const uint32_t n = system.numEntries();

    // The entries in question, each with its target and the name the extraction
    // knows it by. Entries outside `onlyFile` are left alone.
    struct Candidate {
        ZipEntryMapped* entry;
        std::unique_ptr<XString> target;
        std::string name;
        bool placed;
    };
    std::vector<Candidate> candidates;
    std::set<std::string> outside;
    int64_t total = 0;
    for (uint32_t i = 0; i < n; ++i) {
        auto* entry = static_cast<ZipEntryMapped*>(system.entryAt(i));
        if (!entry || entry->isDirectory())
            continue;
        StringBuffer name;
        entry->getFileName(name);
        name.removeNameUnsafeChars();
        Candidate c{entry, std::make_unique<XString>(),
                    std::string(name.getString(), name.getSize()), false};
        LogNull quiet;
        c.placed = entry->targetPath(dir, false, *c.target, quiet);
        if (!only.empty() && (!c.placed || comparable(c.target->getUtf8()) != only)) {
            outside.insert(c.name);
            continue;
        }
        total += int64_t(entry->getUncompressedSize64());
        candidates.push_back(std::move(c));
    }

    VxZipCbW adapter(callback_);
    WholeJobProgress progress(callback_ ? &adapter : nullptr, total);
    // A name is kept only when every entry written under it matches its file:
    // with two entries of one name, the file must end up as the later one.
    std::set<std::string> keep = outside;
    std::set<std::string> differing;
    bool aborted = false;
    for (Candidate& c : candidates) {
        if (aborted)
            return false;
        if (differing.count(c.name))
            continue;
        // A name that would leave the folder is never read; its extraction fails.
        const bool matches = c.placed &&
            fileMatches(*c.target, c.entry->getUncompressedSize64(), c.entry->getCrc32(), progress,
                        aborted);
        if (matches) {
            keep.insert(c.name);
        } else {
            keep.erase(c.name);
            differing.insert(c.name);
        }
    }
    if (aborted)
        return false;

    // Every entry under a differing name is written again, in archive order.
    VxChangedPlan found;
    found.checked = uint32_t(candidates.size());
    for (const Candidate& c : candidates) {
        if (!differing.count(c.name))
            continue;
        ++found.toWrite;
        const uint64_t size = c.entry->getUncompressedSize64();
        found.bytesToWrite = size > UINT64_MAX - found.bytesToWrite ? UINT64_MAX
                                                                    : found.bytesToWrite + size;
    }
    if (plan)
        *plan = found;
    if (differing.empty()) {
        progress.checked(0);
        return true;
    }
    if (beforeWriting && !beforeWriting(found))
        return false;

    ChangedOnlyEvent event(callback_, keep, progress);
    event.unzipBegin();
    int32_t count = 0;
    const bool ok = zip->unzipCommon("ExtractChanged", dir, nullptr, false, false, &event, count);
    event.unzipEnd();
    if (rewritten)
        *rewritten = uint32_t(count);
    return ok;
}

} // namespace vexmar
