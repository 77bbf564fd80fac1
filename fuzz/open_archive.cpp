// Opens an archive image and loads every entry's headers and name.
#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/base/Logger.h"

#include <cstddef>
#include <cstdint>
#include <memory>

using namespace vexmar;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0xFFFFFFFF)
        return 0;
    ZipSystem system;
    system.oemCodePage = 437;
    auto owned = std::make_unique<ClsZip2>(&system);
    ClsZip2* zip = owned.get();
    system.addArchive(std::move(owned));
    zip->setVerboseLogging(size % 2 == 0);
    if (!zip->OpenFromMemory(data, static_cast<uint32_t>(size)))
        return 0;

    StringBuffer sink;
    for (uint32_t i = 0; i < zip->numEntries(); ++i) {
        auto* entry = static_cast<ZipEntryMapped*>(zip->entryAt(i));
        Logger log;
        if (!entry || !entry->ensureLocalLoaded(log))
            continue;
        entry->getFileName(sink);
        entry->getFileNameHex(sink);
        entry->getComment(sink);
        entry->getLastModified();
        entry->isDirectory();
    }
    zip->lastErrorLog().errorXml(sink);
    zip->lastErrorLog().errorText(sink);
    zip->lastErrorLog().errorHtml(sink);
    return 0;
}
