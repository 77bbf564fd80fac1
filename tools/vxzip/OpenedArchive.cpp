#include "tools/vxzip/OpenedArchive.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace vxzip {

OpenedArchive::OpenedArchive() {
    auto archive = std::make_unique<ClsZip2>(&system_);
    archive_ = archive.get();
    system_.addArchive(std::move(archive));
}

bool OpenedArchive::open(const std::string& path, const Options& options, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    if (bytes.size() > 0xFFFFFFFFu) {
        error = path + " is larger than 4 GB, which an in-memory archive cannot be";
        return false;
    }
    if (options.oemCodePage != 0)
        system_.oemCodePage = options.oemCodePage;
    return archive_->OpenFromMemory(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

std::string OpenedArchive::lastErrorXml() {
    StringBuffer xml;
    archive_->lastErrorLog().errorXml(xml);
    return std::string(xml.getString(), xml.getSize());
}

} // namespace vxzip
