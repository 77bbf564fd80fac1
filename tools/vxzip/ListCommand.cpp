// vxzip list: one line per entry, as the engine sees it.
#include "tools/vxzip/Command.h"

#include <cinttypes>
#include <cstdio>

namespace vxzip {

int listCommand(const Options& options) {
    VxZipW zip;
    if (!openArchive(zip, options))
        return kFailed;
    int status = kOk;
    VxEntryInfo e;
    for (uint32_t i = 0; i < zip.NumEntries(); ++i) {
        if (!zip.GetEntryInfo(i, e)) {
            std::fprintf(stderr, "vxzip: entry %u cannot be read\n%s", i,
                         zip.LastErrorXml().c_str());
            status = kFailed;
            continue;
        }
        std::printf("%3d %12" PRIu64 " %12" PRIu64 " %08X %c %s\n", e.method, e.compressedSize,
                    e.size, e.crc32, e.isDirectory ? 'D' : '-', e.nameUtf8.c_str());
    }
    return status;
}

} // namespace vxzip
