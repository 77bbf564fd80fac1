#include "os/FileTime.h"

#include "os/win32/SystemTime.h"

#include <windows.h>

namespace os {

FileTime currentFileTime() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return fromFileTime(ft);
}

bool localTimeToFileTime(const CalendarTime& local, FileTime& out) {
    const SYSTEMTIME st = toSystemTime(local);
    SYSTEMTIME utc;
    FILETIME ft;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &st, &utc) || !SystemTimeToFileTime(&utc, &ft))
        return false;
    out = fromFileTime(ft);
    return true;
}

int64_t utcOffsetSeconds(FileTime instant) {
    const FILETIME ft = toFileTime(instant);
    SYSTEMTIME utc;
    SYSTEMTIME local;
    FILETIME localFt;
    if (!FileTimeToSystemTime(&ft, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
        !SystemTimeToFileTime(&local, &localFt))
        return 0;
    const FileTime localTime = fromFileTime(localFt);
    // Sub-millisecond parts are lost on the way: round to whole seconds.
    const int64_t diff = int64_t(localTime) - int64_t(instant);
    return (diff + (diff < 0 ? -5000000 : 5000000)) / 10000000;
}

} // namespace os
