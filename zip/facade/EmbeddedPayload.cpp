#include "zip/facade/EmbeddedPayload.h"

#include "exe/ExeImage.h"
#include "zip/archive/ClsZip2.h"
#include "zip/archive/ZipSystem.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/XString.h"
#include "zip/facade/ExeRewrite.h"
#include "zip/facade/ZipFileCheck.h"

namespace vexmar {

namespace {

std::u16string wideName(const XString& name) {
    return std::u16string(name.getWide());
}

// The new executable carries the ZIP file as the resource, unless it is signed
// (any change breaks the signature, and a launcher whose signature fails refuses
// to start: the payload has to go in first) or already has one of that name.
bool embedInto(const XString& exeFilename, const XString& resourceName,
               const XString& zipFilename, LogBase& log) {
    const std::u16string name = wideName(resourceName);
    return rewriteExe(exeFilename, "The executable is signed; embed the payload before signing it.",
                      [&](ExeImage& image, LogBase& editLog) {
                          if (image.lookUpNamed(name)) {
                              editLog.logError("The EXE already carries a resource of this name");
                              editLog.logDataStr("resourceName", resourceName);
                              return false;
                          }
                          return image.addResourceFromFile(name, zipFilename, editLog);
                      },
                      log);
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
    // A ZIP file that cannot be opened, or has no entries, would make a useless payload.
    const bool ok = zipFileHasEntries(zipFilename, log) &&
                    embedInto(exeFilename, resourceName, zipFilename, log);
    zip.endOperation(ok);
    return ok;
}

} // namespace EmbeddedPayload

} // namespace vexmar
