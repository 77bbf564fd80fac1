#include "zip/io/OutputFile.h"

#include "zip/base/LogBase.h"
#include "zip/base/fs/FileSys.h"

#include <new>

namespace vexmar {

OutputFile::OutputFile(const char* pathUtf8) : Output(kFile) {
    path_.setFromUtf8(pathUtf8);
}

OutputFile::~OutputFile() = default;

std::unique_ptr<OutputFile> OutputFile::createForPath(const char* pathUtf8, LogBase& log) {
    std::unique_ptr<OutputFile> output(new (std::nothrow) OutputFile(pathUtf8));
    if (!output) {
        log.logError("OutputFile: out of memory for new object. (1)");
        return nullptr;
    }
    if (!output->reopen(log))
        return nullptr;
    return output;
}

// A new, empty file in place of whatever was at the path.
bool OutputFile::reopen(LogBase& log) {
    file_.close();
    FileSys::deleteFile(path_, &log);
    file_ = FileSys::openForReadWriteWin32(path_, true, nullptr, &log);
    position_ = 0;
    highWater_ = 0;
    // The open keeps an existing file; make sure none of its old bytes remain.
    return file_.isOpen() && file_.truncateHere(&log);
}

bool OutputFile::writeRaw(const uint8_t* data, uint64_t length, ProgressMonitor*, LogBase& log) {
    uint64_t written = 0;
    const bool ok = file_.write(data, length, written, &log);
    bytesWritten_ += written;
    position_ += written;
    if (position_ > highWater_)
        highWater_ = position_;
    return ok;
}

bool OutputFile::seekToEnd(LogBase& log) {
    position_ = highWater_;
    return file_.seekToEnd(&log);
}

bool OutputFile::seekAbsolute(uint64_t position, LogBase& log) {
    if (!file_.seekAbsolute(int64_t(position), &log))
        return false;
    position_ = position;
    return true;
}

bool OutputFile::reset(LogBase& log) {
    bytesWritten_ = 0;
    // Nothing written and nothing to cut. (A position moved back to 0 after
    // writing still leaves bytes in the file.)
    if (position_ == 0 && highWater_ == 0)
        return true;
    return reopen(log);
}

bool OutputFile::setFileTime(uint16_t dosDate, uint16_t dosTime, LogBase& log) {
    if (file_.isOpen())
        return FileSys::setFileTimeFromDos(file_, dosDate, dosTime, &log);
    if (path_.isEmpty()) {
        log.logError("Cannot set file time because output file path is empty. (1a)");
        return false;
    }
    return FileSys::setFileTimeFromDos(path_, dosDate, dosTime, &log);
}

} // namespace vexmar
