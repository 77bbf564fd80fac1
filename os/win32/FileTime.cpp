#include "os/FileTime.h"

#include <windows.h>

namespace os {

FileTime currentFileTime() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    return (FileTime(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

bool localTimeToFileTime(const CalendarTime& local, FileTime& out) {
    SYSTEMTIME st{};
    st.wYear = local.year;
    st.wMonth = local.month;
    st.wDay = local.day;
    st.wHour = local.hour;
    st.wMinute = local.minute;
    st.wSecond = local.second;
    st.wMilliseconds = local.milliseconds;
    SYSTEMTIME utc;
    FILETIME ft;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &st, &utc) || !SystemTimeToFileTime(&utc, &ft))
        return false;
    out = (FileTime(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return true;
}

int64_t utcOffsetSeconds(FileTime instant) {
    FILETIME ft;
    ft.dwLowDateTime = DWORD(instant & 0xFFFFFFFF);
    ft.dwHighDateTime = DWORD(instant >> 32);
    SYSTEMTIME utc;
    SYSTEMTIME local;
    FILETIME localFt;
    if (!FileTimeToSystemTime(&ft, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) ||
        !SystemTimeToFileTime(&local, &localFt))
        return 0;
    const FileTime localTime = (FileTime(localFt.dwHighDateTime) << 32) | localFt.dwLowDateTime;
    // Sub-millisecond parts are lost on the way: round to whole seconds.
    const int64_t diff = int64_t(localTime) - int64_t(instant);
    return (diff + (diff < 0 ? -5000000 : 5000000)) / 10000000;
}

} // namespace os
