#include "zip/facade/FileReplacement.h"

#include "os/File.h"
#include "zip/base/LogBase.h"
#include "zip/base/fs/FileSys.h"

#include <string>

namespace vexmar {

namespace {

// Names are random; one that someone else took meanwhile costs another try.
constexpr int kCreateAttempts = 201;

// The folder part of a path with its separator (empty: the current folder).
void folderOf(const XString& path, XString& folder) {
    const std::string text = path.getUtf8();
    const size_t slash = text.find_last_of("/\\");
    folder.setFromUtf8(slash == std::string::npos ? "" : text.substr(0, slash + 1).c_str());
}

bool failWith(const char* message, const XString& path, uint32_t error, LogBase& log) {
    log.logError(message);
    log.logDataStr("filename", path);
    log.logWindowsError(error);
    return false;
}

} // namespace

FileReplacement::~FileReplacement() {
    file_.close();
    uint32_t error = 0;
    if (!committed_ && !newPath_.isEmpty()) // clean-up in a destructor: nothing to report to
        static_cast<void>(os::deleteFile(newPath_.getUtf8(), error));
}

bool FileReplacement::begin(const XString& target, LogBase& log) {
    std::string resolved;
    uint32_t error = 0;
    if (!os::resolveLinks(target.getUtf8(), resolved, error))
        return failWith("Failed to find the file to replace", target, error, log);
    target_.setFromUtf8(resolved.c_str());
    XString folder;
    XString base;
    folderOf(target_, folder);
    base.setFromUtf8("vxZ.dat");
    os::FileOpenRequest request;
    request.access = os::kAccessWrite;
    request.creation = os::FileCreation::CreateNew;
    XString candidate;
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        if (!FileSys::tempFilePath(base, folder, candidate, &log))
            return false;
        bool wideForm = false;
        const os::FileHandle file = os::openFile(candidate.getUtf8(), request, error, wideForm);
        if (file != os::kNoFile) {
            file_ = VexmarHandle(file);
            newPath_.setFromX(candidate);
            return true;
        }
        if (os::classifyFileError(error) != os::FileError::AlreadyExists)
            break;
    }
    return failWith("Failed to create a new file beside the one to replace", candidate, error,
                    log);
}

bool FileReplacement::commit(LogBase& log) {
    uint32_t error = 0;
    file_.close();
    if (!os::copyAccessRights(target_.getUtf8(), newPath_.getUtf8(), error))
        return failWith("Failed to give the new file the access rights of the old one",
                        target_, error, log);
    if (!os::replaceFile(newPath_.getUtf8(), target_.getUtf8(), error))
        return failWith("Failed to move the new file into the old one's place", target_,
                        error, log);
    committed_ = true;
    return true;
}

} // namespace vexmar
