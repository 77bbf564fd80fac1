// Opening an archive file: its bytes go straight into the archive's own image,
// so a large archive is held in memory once, not twice.
#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/core/LogBase.h"
#include "zip/fs/FileSys.h"
#include "zip/fs/VexmarHandle.h"

#include <cstdlib>

namespace {

uint8_t* readWholeFile(const XString& path, uint32_t& size, LogBase& log) {
    VexmarHandle file = FileSys::openForReadWin32(path, nullptr, &log);
    int64_t length = 0;
    if (!file.isOpen() || !file.size64(length, &log))
        return nullptr;
    if (length <= 0 || length > 0xFFFFFFFFLL - 32) {
        log.logError(length <= 0 ? "The archive file is empty."
                                 : "The archive file is too large to open in memory.");
        log.logDataInt64("fileSize", length);
        return nullptr;
    }
    auto* image = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(length) + 32));
    if (!image) {
        log.logOutOfMemory("OpenFromFile", static_cast<uint32_t>(length));
        return nullptr;
    }
    uint32_t have = 0;
    while (have < length) {
        uint32_t count = 0;
        bool atEnd = false;
        if (!file.read(image + have, static_cast<uint32_t>(length - have), count, atEnd, &log) ||
            (count == 0 && atEnd)) {
            log.logError("Failed to read the archive file.");
            std::free(image);
            return nullptr;
        }
        have += count;
    }
    size = have;
    return image;
}

} // namespace

bool ClsZip2::OpenFromFile(const XString& path) {
    beginOperation("OpenFromFile");
    LogBase& log = m_log;
    log.logDataStr("path", path);
    log.logDataInt("oemCodePage", system_->oemCodePage);
    takeSystemSettings();
    uint32_t size = 0;
    uint8_t* image = readWholeFile(path, size, log);
    const bool ok = image && openAdoptedImage(image, size, log);
    if (ok)
        name_.setFromX(path);
    endOperation(ok);
    return ok;
}
