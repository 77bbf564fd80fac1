// Writing one entry below the extraction directory: a folder, or a file with its
// data, times and attributes.
#include "os/File.h"
#include "os/SystemError.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/core/LogBase.h"
#include "zip/core/LogContextExitor.h"
#include "zip/core/XString.h"
#include "zip/extract/UnixAttributes.h"
#include "zip/fs/FileSys.h"
#include "zip/io/OutputFile.h"
#include "zip/io/ProgressMonitor.h"

namespace {

// Reports a directory that cannot be created, once per run.
void noteFailedDirectory(const XString& directory, FailedDirectories& failed, LogBase& log) {
    std::string dir = directory.getUtf8();
    if (!dir.empty() && dir.back() == '\\')
        dir.pop_back();
    if (failed.insert(dir).second)
        log.logData("UnzipFailedDir", dir.c_str());
}

bool endsWith(const char* text, const char* suffix) {
    const std::string t = text, s = suffix;
    return t.size() >= s.size() && t.compare(t.size() - s.size(), s.size(), s) == 0;
}

} // namespace

bool ZipEntryMapped::inflateMappedEntry(const XString& directory, bool ignoreFolders,
                                        bool clearReadOnly, FailedDirectories& failedDirectories,
                                        int32_t& count, ProgressMonitor* monitor, LogBase& log,
                                        bool verbose) {
    LogContextExitor ctx(log, "inflateMappedEntry");
    if (!ensureCentralLoaded(log))
        return false;
    const CentralHeader& header = info_->central;
    XString path;
    if (!targetPath(directory, ignoreFolders, path, log))
        return false;

    if (isDirectory()) {
        if (ignoreFolders)
            return true;
        if (!FileSys::ensureDir(path, nullptr, &log)) {
            noteFailedDirectory(path, failedDirectories, log);
            return false;
        }
        // A folder that cannot be opened keeps the times it has.
        FileSys::setFileTimeFromDos(path, header.dosDate, header.dosTime, nullptr);
        return true;
    }

    if (!ignoreFolders) {
        XString folder;
        if (!FileSys::ensureFile(&path, folder, nullptr, &log)) {
            noteFailedDirectory(folder, failedDirectories, log);
            return false;
        }
    }
    FileSys::sanitizeFilename(path, true, nullptr);

    OutputFile file(path.getUtf8());
    if (header.externalAttributes & os::kAttrHidden)
        file.handle() = FileSys::openForWriteHiddenWin32(path, nullptr, &log);
    if (!file.isOpen())
        file.handle() = FileSys::openForWriteWin32(path, nullptr, &log);

    if (!file.isOpen()) {
        if (info_->uncompressedSize == 0) {
            log.logInfo("Ignoring error because file size is zero.");
            return true;
        }
        if (endsWith(path.getUtf8(), "Thumbs.db"))
            return true;
        log.logData("UnzipFailedFilename", path.getUtf8());
        if (monitor)
            monitor->progressWithoutHeartbeat(static_cast<int64_t>(info_->uncompressedSize), log);
        return false;
    }

    {
        LogContextExitor decode(log, "inflateToOutput2");
        if (!mappedInflateToOutput(file, monitor, log, verbose)) {
            file.close();
            FileSys::deleteFile(path, &log);
            log.logError("Unzip failed");
            log.logData("filename", path.getUtf8());
            return false;
        }
    }
    ++count;
    file.setFileTime(header.dosDate, header.dosTime, log);
    keepExecuteBits(file.handle(), header, log);
    file.close();

    uint32_t attributes = header.externalAttributes & 0xFF;
    if (attributes == os::kAttrArchive)
        return true;
    if (clearReadOnly)
        attributes &= ~os::kAttrReadOnly;
    if (!FileSys::setFileAttributesWin32(path, attributes)) {
        char reason[512];
        os::errorText(os::lastErrorCode(), reason, sizeof reason);
        const std::string text = std::string("SetFileAttributes: ") + reason;
        log.logError("Failed to set file attributes");
        log.logError(text.c_str());
        log.logData("filename", path.getUtf8());
        return false;
    }
    return true;
}
