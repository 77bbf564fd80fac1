#include "zip/facade/ExeRewrite.h"

#include "exe/ExeImage.h"
#include "zip/base/LogBase.h"
#include "zip/base/XString.h"
#include "zip/facade/FileReplacement.h"

namespace vexmar {

bool rewriteExe(const XString& exeFilename, const char* signedRefusal,
                const std::function<bool(ExeImage&, LogBase&)>& edit, LogBase& log) {
    FileReplacement replacement;
    {
        // The image maps the old file: it is closed before the new one takes its place.
        std::unique_ptr<ExeImage> image = ExeImage::loadExe(exeFilename, log);
        if (!image)
            return false;
        if (image->isSigned()) {
            log.logError(signedRefusal);
            return false;
        }
        if (!edit(*image, log))
            return false;
        if (!replacement.begin(exeFilename, log)) {
            log.logError("Failed to get temp filename.");
            return false;
        }
        if (!image->writeExe(replacement.file(), replacement.newPath(), nullptr, log))
            return false;
    }
    if (!replacement.commit(log)) {
        log.logDataStr("fromFilename", replacement.newPath());
        log.logDataStr("toFilename", replacement.targetPath());
        log.logError("Failed to move EXE file");
        return false;
    }
    return true;
}

} // namespace vexmar
