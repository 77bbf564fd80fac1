#include "os/FileTime.h"

#include <ctime>

namespace os {

FileTime currentFileTime() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return kUnixEpochFileTime + FileTime(now.tv_sec) * 10000000 + FileTime(now.tv_nsec) / 100;
}

bool localTimeToFileTime(const CalendarTime& local, FileTime& out) {
    tm parts{};
    parts.tm_year = local.year - 1900;
    parts.tm_mon = local.month - 1;
    parts.tm_mday = local.day;
    parts.tm_hour = local.hour;
    parts.tm_min = local.minute;
    parts.tm_sec = local.second;
    parts.tm_isdst = -1; // the zone's rules decide
    const time_t seconds = mktime(&parts);
    if (seconds == time_t(-1))
        return false;
    out = kUnixEpochFileTime + FileTime(int64_t(seconds)) * 10000000 +
          FileTime(local.milliseconds) * 10000;
    return true;
}

int64_t utcOffsetSeconds(FileTime instant) {
    const time_t seconds = time_t((int64_t(instant) - int64_t(kUnixEpochFileTime)) / 10000000);
    tm parts{};
    if (!localtime_r(&seconds, &parts))
        return 0;
    return int64_t(parts.tm_gmtoff);
}

} // namespace os
