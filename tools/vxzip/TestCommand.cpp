// vxzip test: every entry decoded and checked, nothing written.
#include "tools/vxzip/Command.h"
#include "tools/vxzip/ProgressLine.h"
#include "tools/vxzip/Report.h"

#include <cstdio>

using namespace vexmar;

namespace vxzip {

int testCommand(const Options& options) {
    const std::string& archive = options.operands[0];
    VxZipW zip;
    if (!openArchive(zip, options))
        return kFailed;
    bool ok;
    {
        ProgressLine progress;
        zip.SetEventCallback(&progress);
        ok = zip.Test();
        zip.SetEventCallback(nullptr);
    }
    printLogIfAsked(zip, options);
    const uint32_t entries = zip.NumEntries();
    if (ok) {
        std::printf("%s OK\n", counted(entries, "entry", "entries").c_str());
        return kOk;
    }
    // The engine names each entry that failed in its own part of the log.
    const LogNode log = readLogTree(zip.LastErrorXml());
    const CauseFacts facts = causeFacts(options);
    std::vector<const LogNode*> checks;
    log.findAll("testEntry", checks);
    uint32_t failed = 0;
    for (const LogNode* check : checks) {
        for (const LogNode& item : check->children) {
            if (!item.isContext && item.tag == "filename") {
                reportFailure(archive + ": " + item.text, causeOf(*check, facts).text);
                ++failed;
            }
        }
    }
    if (failed == 0) {
        reportFailure(archive, causeOf(log, facts).text);
        return kFailed;
    }
    const uint32_t good = entries > failed ? entries - failed : 0;
    reportFailure(archive,
                  counted(good, "entry", "entries") + " OK, " + withThousands(failed) + " failed");
    return kFailed;
}

} // namespace vxzip
