// An archive object opened on a test image, with its last-error log at hand.
#pragma once

#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/central/ZipEntryMapped.h"

#include <memory>
#include <string>

class OpenedImage {
public:
    explicit OpenedImage(const std::string& image, int oemCodePage = 437, bool verbose = false) {
        system.oemCodePage = oemCodePage;
        auto owned = std::make_unique<ClsZip2>(&system);
        zip = owned.get();
        system.addArchive(std::move(owned));
        zip->setVerboseLogging(verbose);
        ok = zip->OpenFromMemory(image.data(), static_cast<uint32_t>(image.size()));
    }

    std::string logXml() {
        StringBuffer xml;
        zip->lastErrorLog().errorXml(xml);
        return xml.getString();
    }

    ZipEntryMapped& entry(uint32_t i) { return *static_cast<ZipEntryMapped*>(zip->entryAt(i)); }

    std::string name(uint32_t i) {
        StringBuffer sb;
        entry(i).getFileName(sb);
        return {sb.getString(), sb.getSize()};
    }

    ZipSystem system;
    ClsZip2* zip;
    bool ok;
};
