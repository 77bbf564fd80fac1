// An archive file read into memory and opened by the engine.
#pragma once

#include "tools/vxzip/Command.h"
#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"

#include <memory>
#include <string>

namespace vxzip {

class OpenedArchive {
public:
    OpenedArchive();
    // False when the file cannot be read (`error` says why) or the open fails
    // (the archive's last-error log says why).
    bool open(const std::string& path, const Options& options, std::string& error);

    ClsZip2& archive() { return *archive_; }
    // The last-error log as XML-like text.
    std::string lastErrorXml();

private:
    ZipSystem system_;
    ClsZip2* archive_;
};

} // namespace vxzip
