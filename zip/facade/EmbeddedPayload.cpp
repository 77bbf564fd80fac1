#include "zip/facade/EmbeddedPayload.h"

#include "exe/ExeImage.h"
#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/core/LogBase.h"
#include "zip/core/LogContextExitor.h"
#include "zip/core/XString.h"
#include "zip/facade/ZipFileCheck.h"
#include "zip/fs/FileSys.h"

namespace {

std::u16string wideName(const XString& name) {
    return std::u16string(name.getWide());
}

// The directory part of a path (empty: the current directory), where the new
// executable is written first so that moving it into place stays on one volume.
void directoryOf(const XString& path, XString& directory) {
    const std::string text = path.getUtf8();
    const size_t slash = text.find_last_of("/\\");
    directory.setFromUtf8(slash == std::string::npos ? "" : text.substr(0, slash + 1).c_str());
}

bool writeWithResource(const XString& exeFilename, const XString& resourceName,
                       const XString& zipFilename, const XString& tempPath, LogBase& log) {
    std::unique_ptr<ExeImage> image = ExeImage::loadExe(exeFilename, log);
    if (!image)
        return false;
    const std::u16string name = wideName(resourceName);
    if (image->lookUpNamed(name)) {
        log.logError("The EXE already carries a resource of this name");
        log.logDataStr("resourceName", resourceName);
        return false;
    }
    if (!image->addResourceFromFile(name, zipFilename, log))
        return false;
    if (!image->writeExe(tempPath, nullptr, log)) {
        FileSys::deleteFile(tempPath, nullptr);
        return false;
    }
    return true;
}

// The image is closed by now; the new file takes the old one's place.
bool replaceExe(const XString& exeFilename, const XString& tempPath, LogBase& log) {
    if (!FileSys::fileExists(exeFilename, nullptr)) {
        log.logError("The EXE file no longer exists");
        FileSys::deleteFile(tempPath, nullptr);
        return false;
    }
    if (!FileSys::deleteFile(exeFilename, &log)) {
        log.logError("Failed to delete existing EXE file");
        FileSys::deleteFile(tempPath, nullptr);
        return false;
    }
    if (!FileSys::renameFileWin32(tempPath, exeFilename, &log)) {
        // The old file is gone: the temporary file is the only copy, so it stays.
        log.logDataStr("fromFilename", tempPath);
        log.logDataStr("toFilename", exeFilename);
        log.logError("Failed to move EXE file");
        return false;
    }
    return true;
}

} // namespace

namespace EmbeddedPayload {

bool open(ClsZip2& zip, const char* operationName, const XString* exePath,
          const XString& resourceName) {
    zip.beginOperation(operationName);
    LogBase& log = zip.lastErrorLog();
    log.logDataInt("oemCodePage", zip.system()->oemCodePage);
    const bool mine = exePath == nullptr;
    std::unique_ptr<ExeImage> image =
        mine ? ExeImage::loadMyExe(log) : ExeImage::loadExe(*exePath, log);
    bool ok = false;
    const uint8_t* data = nullptr;
    uint32_t size = 0;
    if (!image) {
        log.logError(mine ? "Failed to open my EXE" : "Failed to open EXE");
    } else if (!image->findNamedResource(wideName(resourceName), data, size, log)) {
        log.logError(mine ? "Resource not found within my EXE" : "Resource not found within EXE");
        log.logDataStr("resourceName", resourceName);
    } else {
        // The open copies the bytes, so the mapping can go right after it.
        log.enterContext("OpenFromMemory", true);
        ok = zip.openMemoryCopy(data, size, log);
        if (ok)
            log.logInfo("Success.");
        else
            log.logError("Failed.");
        log.leaveContext();
    }
    image.reset();
    zip.endOperation(ok);
    return ok;
}

bool add(ClsZip2& zip, const XString& exeFilename, const XString& resourceName,
         const XString& zipFilename) {
    zip.beginOperation("AddEmbedded");
    LogBase& log = zip.lastErrorLog();
    log.logDataStr("exeFilename", exeFilename);
    log.logDataStr("resourceName", resourceName);
    XString directory;
    XString base;
    XString tempPath;
    directoryOf(exeFilename, directory);
    base.setFromUtf8("vxZ.dat");
    // A ZIP file that cannot be opened, or has no entries, would make a useless payload.
    bool ok = zipFileHasEntries(zipFilename, log);
    if (ok && !FileSys::tempFilePath(base, directory, tempPath, &log)) {
        log.logError("Failed to get temp filename.");
        ok = false;
    }
    ok = ok && writeWithResource(exeFilename, resourceName, zipFilename, tempPath, log) &&
         replaceExe(exeFilename, tempPath, log);
    zip.endOperation(ok);
    return ok;
}

} // namespace EmbeddedPayload
