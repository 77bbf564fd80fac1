// Opening an archive file: the file is mapped into memory and the mapping is the archive's
// image, so the bytes are neither copied nor held twice. Where the system cannot map the file,
// its bytes are read into an image of the archive's own instead.
#include "os/FileMapping.h"
#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/base/LogBase.h"
#include "zip/base/fs/FileSys.h"
#include "zip/base/fs/VexmarHandle.h"

#include <cstdlib>

namespace vexmar {

namespace {

// The file's length, when it is one an image can hold.
bool imageLength(VexmarHandle& file, uint32_t& size, LogBase& log) {
    int64_t length = 0;
    if (!file.isOpen() || !file.size64(length, &log))
        return false;
    if (length <= 0 || length > 0xFFFFFFFFLL - 32) {
        log.logError(length <= 0 ? "The archive file is empty."
                                 : "The archive file is too large to open in memory.");
        log.logDataInt64("fileSize", length);
        return false;
    }
    size = static_cast<uint32_t>(length);
    return true;
}

uint8_t* readWholeFile(VexmarHandle& file, uint32_t length, LogBase& log) {
    auto* image = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(length) + 32));
    if (!image) {
        log.logOutOfMemory("OpenFromFile", length);
        return nullptr;
    }
    uint32_t have = 0;
    while (have < length) {
        uint32_t count = 0;
        bool atEnd = false;
        if (!file.read(image + have, length - have, count, atEnd, &log) || (count == 0 && atEnd)) {
            log.logError("Failed to read the archive file.");
            std::free(image);
            return nullptr;
        }
        have += count;
    }
    return image;
}

} // namespace

bool ClsZip2::OpenFromFile(const XString& path) {
    beginOperation("OpenFromFile");
    LogBase& log = m_log;
    log.logDataStr("path", path);
    log.logDataInt("oemCodePage", system_->oemCodePage);
    takeSystemSettings();
    VexmarHandle file = FileSys::openForReadWin32(path, nullptr, &log);
    uint32_t size = 0;
    bool ok = imageLength(file, size, log);
    if (ok) {
        // Every entry's bytes are about to be read, so the whole file is brought in at once.
        uint32_t error = 0;
        const os::MappingHandle mapping = os::createReadOnlyMapping(file.osHandle(), error);
        const void* view =
            mapping == os::kNoMapping ? nullptr : os::mapReadOnlyView(mapping, size, error, true);
        if (view) {
            ok = openMappedImage(static_cast<const uint8_t*>(view), size, mapping, log);
        } else {
            os::closeMapping(mapping);
            uint8_t* image = readWholeFile(file, size, log);
            ok = image && openAdoptedImage(image, size, log);
        }
    }
    if (ok)
        name_.setFromX(path);
    else
        closeArchive();
    endOperation(ok);
    return ok;
}

} // namespace vexmar
