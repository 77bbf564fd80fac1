// vxzip extract: every entry written below a folder; each failure named, then a summary.
#include "tools/vxzip/Command.h"
#include "tools/vxzip/ProgressLine.h"
#include "tools/vxzip/Report.h"

#include <vector>

using namespace vexmar;

namespace vxzip {

namespace {

// Which entries the engine set out to write, and which of them it wrote, in its order.
class ExtractWatch : public ProgressLine {
public:
    struct Entry {
        std::string name;
        bool written = false;
    };

    void toBeUnzipped(const os::wchar* name, int64_t, int64_t, bool, bool* exclude) override {
        *exclude = false;
        entries_.push_back({os::toUtf8(name, os::wideLength(name)), false});
    }
    void fileUnzipped(const os::wchar* name, int64_t, int64_t, bool, bool* abort) override {
        *abort = false;
        const std::string utf8 = os::toUtf8(name, os::wideLength(name));
        // Entries are written in the order they were announced.
        for (; next_ < entries_.size(); ++next_) {
            if (entries_[next_].name == utf8) {
                entries_[next_++].written = true;
                break;
            }
        }
    }
    const std::vector<Entry>& entries() const { return entries_; }

private:
    std::vector<Entry> entries_;
    size_t next_ = 0;
};

} // namespace

int extractCommand(const Options& options) {
    const std::string& archive = options.operands[0];
    const std::string& folder = options.operands[1];
    VxZipW zip;
    if (!openArchive(zip, options))
        return kFailed;
    ExtractWatch watch;
    zip.SetEventCallback(&watch);
    const bool ok = zip.Extract(os::fromUtf8(folder).c_str());
    zip.SetEventCallback(nullptr);
    watch.finish();
    printLogIfAsked(zip, options);
    if (ok)
        return kOk;

    // Each entry has its own part of the log, in the order the entries were announced.
    const LogNode log = readLogTree(zip.LastErrorXml());
    const CauseFacts facts = causeFacts(options);
    std::vector<const LogNode*> parts;
    log.findAll("inflateMappedEntry", parts);
    const auto& entries = watch.entries();
    uint64_t written = 0, failed = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].written) {
            ++written;
            continue;
        }
        ++failed;
        const Cause cause = causeOf(parts.size() == entries.size() ? *parts[i] : log, facts);
        // The system refused a file: name that file; else the entry is at fault.
        reportFailure(cause.fromSystem ? pathBelow(folder, entries[i].name)
                                       : archive + ": " + entries[i].name,
                      cause.text);
    }
    if (failed == 0)
        reportFailure(archive, causeOf(log, facts).text);
    reportFailure(archive, counted(written, "entry", "entries") + " written, " +
                               withThousands(failed) + " failed");
    return kFailed;
}

} // namespace vxzip
