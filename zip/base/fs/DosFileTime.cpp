#include "zip/base/fs/DosTime.h"
#include "zip/base/LogBase.h"
#include "zip/base/XString.h"
#include "zip/base/fs/FileSys.h"
#include "zip/base/fs/PathText.h"

namespace vexmar {

namespace FileSys {

namespace {

constexpr int64_t kTicksPerSecond = 10000000;

bool isCalendarDate(uint16_t dosDate) {
    const unsigned day = dosDate & 0x1F;
    const unsigned month = (dosDate >> 5) & 0x0F;
    return day != 0 && month >= 1 && month <= 12;
}

} // namespace

os::FileTime fileTimeFromDos(uint16_t dosDate, uint16_t dosTime) {
    const os::FileTime now = os::currentFileTime();
    // The decoder stands the current UTC time in for an impossible date; read
    // as local time that would be off by the zone's offset, so take now as it is.
    if (!isCalendarDate(dosDate))
        return now;
    os::FileTime instant = 0;
    if (!os::localTimeToFileTime(decodeDosDateTime(dosDate, dosTime), instant))
        return now;
    // Shifted so that converting back with today's offset (as FileTimeToLocalFileTime
    // does) gives the archive's wall-clock value again.
    const int64_t shift =
        (os::utcOffsetSeconds(now) - os::utcOffsetSeconds(instant)) * kTicksPerSecond;
    return os::FileTime(int64_t(instant) - shift);
}

bool setFileTimeFromDos(VexmarHandle& file, uint16_t dosDate, uint16_t dosTime, LogBase* log) {
    return file.setTimes(fileTimeFromDos(dosDate, dosTime), log);
}

bool setFileTimeFromDos(const XString& path, uint16_t dosDate, uint16_t dosTime, LogBase* log) {
    os::FileOpenRequest request;
    request.access = os::kAccessRead | os::kAccessWrite;
    request.creation = os::FileCreation::OpenExisting;
    request.share = os::kShareRead | os::kShareDelete;
    request.flags = os::kOpenBackupSemantics;
    uint32_t error = 0;
    bool wideForm = false;
    const os::FileHandle opened = os::openFile(backslashed(path).c_str(), request, error, wideForm);
    if (opened == os::kNoFile) {
        if (log) {
            log->logError("Failed to open file to set its time.");
            log->logWindowsError(error);
        }
        return false;
    }
    VexmarHandle file(opened);
    return setFileTimeFromDos(file, dosDate, dosTime, log);
}

} // namespace FileSys

} // namespace vexmar
