// Writing one entry below the extraction directory: a folder, or a file with its data, times
// and attributes. Everything an entry creates is reached one name at a time from the
// extraction directory, and a link met on the way fails the entry instead of being followed.
// The function keeps no state between entries beyond the failed-directory set.
#include "os/Beneath.h"
#include "os/File.h"
#include "zip/central/ZipEntryMapped.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"
#include "zip/base/LogNull.h"
#include "zip/base/XString.h"
#include "zip/extract/EntryTarget.h"
#include "zip/extract/UnixAttributes.h"
#include "zip/base/fs/FileSys.h"
#include "zip/base/fs/PathText.h"
#include "zip/io/OutputFile.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <cctype>

namespace vexmar {

namespace {

// Reports a directory that cannot be created, once per run.
void noteFailedDirectory(const std::string& directory, FailedDirectories& failed, LogBase& log) {
    std::string dir = directory;
    if (!dir.empty() && (dir.back() == '\\' || dir.back() == '/'))
        dir.pop_back();
    if (failed.noteFirst(dir))
        log.logData("UnzipFailedDir", dir.c_str());
}

// Explorer holds its thumbnail cache open; a copy of it that cannot be replaced is no loss.
bool isThumbnailCache(const std::string& name) {
    static constexpr char kName[] = "thumbs.db";
    if (name.size() != sizeof kName - 1)
        return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(name[i])) != kName[i])
            return false;
    return true;
}

void logSystemError(LogBase& log, uint32_t error) {
    log.logData("osErrorInfo", FileSys::osErrorText(error).c_str());
}

// The extraction directory itself: the user's choice, made when missing (links followed).
bool ensureBase(const EntryTarget& target, FailedDirectories& failed, LogBase& log) {
    XString base;
    base.setFromUtf8(target.base.c_str());
    if (FileSys::ensureDir(base, nullptr, &log))
        return true;
    noteFailedDirectory(target.base, failed, log);
    return false;
}

// Opens (making them) the folders of the first `count` names. A link among them fails.
os::OpenFolder openFolders(const EntryTarget& target, size_t count, FailedDirectories& failed,
                           LogBase& log) {
    os::BeneathFailure failure;
    os::OpenFolder folder = os::openFolderBeneath(target.base, target.names, count, failure);
    if (folder.isOpen())
        return folder;
    const std::string where =
        failure.error && count == 0 ? target.base : target.pathOf(failure.name + 1);
    if (failure.link) {
        log.logError("A folder of the entry's path is a link; links are not followed.");
        log.logData("link", where.c_str());
    } else if (failure.notFolder) {
        log.logError("A folder of the entry's path is a file.");
        log.logData("path", where.c_str());
    } else {
        logSystemError(log, failure.error);
    }
    noteFailedDirectory(where, failed, log);
    return folder;
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
    EntryTarget target;
    if (!entryTarget(directory, ignoreFolders, target, log))
        return false;
    const bool folderEntry = isDirectory();
    if (folderEntry && ignoreFolders)
        return true;
    if (!ensureBase(target, failedDirectories, log))
        return false;

    const size_t folders = folderEntry ? target.names.size() : target.names.size() - 1;
    os::OpenFolder folder = openFolders(target, folders, failedDirectories, log);
    if (!folder.isOpen())
        return false;
    if (folderEntry) {
        // Its stored times are set when the run's files are all written (writing a file
        // into a folder changes the folder's time): restoreFolderTimes.
        return true;
    }

    const std::string& fileName = target.names.back();
    const std::string path = target.path();
    OutputFile file(path.c_str());
    uint32_t error = 0;
    bool link = false;
    file.handle() = VexmarHandle(os::replaceFileIn(
        folder, fileName, (header.externalAttributes & os::kAttrHidden) != 0, error, link));
    if (!file.isOpen()) {
        if (link) {
            log.logError("The entry's file is a link; links are not followed.");
            log.logData("link", path.c_str());
            log.logData("UnzipFailedFilename", path.c_str());
            return false;
        }
        if (isThumbnailCache(fileName))
            return true;
        logSystemError(log, error);
        log.logData("UnzipFailedFilename", path.c_str());
        if (monitor)
            monitor->progressWithoutHeartbeat(static_cast<int64_t>(info_->uncompressedSize), log);
        return false;
    }

    {
        LogContextExitor decode(log, "inflateToOutput2");
        if (!mappedInflateToOutput(file, monitor, log, verbose)) {
            file.close();
            // The half-written file goes; the decode failure is what gets reported.
            static_cast<void>(os::deleteFileIn(folder, fileName, error));
            log.logError("Unzip failed");
            log.logData("filename", path.c_str());
            return false;
        }
    }
    ++count;
    file.setFileTime(header.dosDate, header.dosTime, log);
    keepExecuteBits(file.handle(), header, log);

    uint32_t attributes = header.externalAttributes & 0xFF;
    if (attributes == os::kAttrArchive)
        return true;
    if (clearReadOnly)
        attributes &= ~os::kAttrReadOnly;
    if (!os::setAttributesOf(file.handle().osHandle(), attributes, error)) {
        const std::string text = "SetFileAttributes: " + FileSys::osErrorText(error);
        log.logError("Failed to set file attributes");
        log.logError(text.c_str());
        log.logData("filename", path.c_str());
        return false;
    }
    return true;
}

void ZipEntryMapped::removeExtractedFile(const XString& directory, bool ignoreFolders) {
    LogNull quiet;
    EntryTarget target;
    if (isDirectory() || !entryTarget(directory, ignoreFolders, target, quiet))
        return;
    os::BeneathFailure failure;
    const os::OpenFolder folder =
        os::openFolderBeneath(target.base, target.names, target.names.size() - 1, failure);
    uint32_t error = 0;
    if (folder.isOpen()) // clean-up only: nothing is reported either way
        static_cast<void>(os::deleteFileIn(folder, target.names.back(), error));
}

} // namespace vexmar
