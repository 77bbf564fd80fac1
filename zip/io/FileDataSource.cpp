#include "zip/io/FileDataSource.h"

#include "zip/base/LogBase.h"
#include "zip/base/fs/FileSys.h"

namespace vexmar {

bool FileDataSource::open(const XString& path, LogBase& log) {
    close();
    file_ = FileSys::openForReadWin32(path, nullptr, &log);
    if (!file_.isOpen()) {
        log.logError("Failed to open file data source.");
        return false;
    }
    atEnd_ = false;
    return true;
}

void FileDataSource::close() {
    file_.close();
    atEnd_ = true;
}

bool FileDataSource::readRaw(uint8_t* buffer, uint32_t max, uint32_t& count, bool& atEnd,
                             ProgressMonitor*, LogBase& log) {
    const bool ok = file_.read(buffer, max, count, atEnd, &log);
    atEnd_ = !ok || atEnd;
    return ok;
}

// After a seek the next read tells whether anything is left.
bool FileDataSource::seekAbsolute(int64_t position) {
    atEnd_ = !file_.seekAbsolute(position < 0 ? 0 : position, nullptr);
    return !atEnd_;
}

bool FileDataSource::seekRelative(int64_t offset) {
    atEnd_ = !file_.seekRelative(offset, nullptr);
    return !atEnd_;
}

int64_t FileDataSource::position() {
    int64_t position = 0;
    return file_.position(position, nullptr) ? position : 0;
}

void FileDataSource::rewind() {
    seekAbsolute(0);
}

} // namespace vexmar
