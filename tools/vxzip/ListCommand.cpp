// vxzip list: one line per entry, as the engine sees it.
#include "tools/vxzip/OpenedArchive.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/core/Logger.h"

#include <cinttypes>
#include <cstdio>

namespace vxzip {

int listCommand(const Options& options) {
    OpenedArchive opened;
    std::string error;
    if (!opened.open(options.operands[0], options, error)) {
        std::fprintf(stderr, "vxzip: %s\n",
                     error.empty() ? "the archive could not be opened" : error.c_str());
        if (error.empty())
            std::fputs(opened.lastErrorXml().c_str(), stderr);
        return kFailed;
    }

    int status = kOk;
    ClsZip2& archive = opened.archive();
    StringBuffer name;
    for (uint32_t i = 0; i < archive.numEntries(); ++i) {
        auto* entry = static_cast<ZipEntryMapped*>(archive.entryAt(i));
        Logger log;
        if (!entry || !entry->ensureCentralLoaded(log)) {
            StringBuffer xml;
            log.errorXml(xml);
            std::fprintf(stderr, "vxzip: entry %u cannot be read\n%s", i, xml.getString());
            status = kFailed;
            continue;
        }
        entry->getFileName(name);
        std::printf("%3d %12" PRIu64 " %12" PRIu64 " %08X %c %s\n", entry->getCompressionMethod(),
                    entry->getCompressedSize64(), entry->getUncompressedSize64(), entry->getCrc32(),
                    entry->isDirectory() ? 'D' : '-', name.getString());
    }
    return status;
}

} // namespace vxzip
