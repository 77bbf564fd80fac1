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
        auto owned = std::make_unique<vexmar::ClsZip2>(&system);
        zip = owned.get();
        system.addArchive(std::move(owned));
        zip->setVerboseLogging(verbose);
        ok = zip->OpenFromMemory(image.data(), static_cast<uint32_t>(image.size()));
    }

    std::string logXml() {
        vexmar::StringBuffer xml;
        zip->lastErrorLog().errorXml(xml);
        return xml.getString();
    }

    vexmar::ZipEntryMapped& entry(uint32_t i) {
        return *static_cast<vexmar::ZipEntryMapped*>(zip->entryAt(i));
    }

    std::string name(uint32_t i) {
        vexmar::StringBuffer sb;
        entry(i).getFileName(sb);
        return {sb.getString(), sb.getSize()};
    }

    vexmar::ZipSystem system;
    vexmar::ClsZip2* zip;
    bool ok;
};
