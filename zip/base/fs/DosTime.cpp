#include "zip/base/fs/DosTime.h"

namespace vexmar {

os::CalendarTime decodeDosDateTime(uint16_t dosDate, uint16_t dosTime) {
    const unsigned day = dosDate & 0x1F;
    const unsigned month = (dosDate >> 5) & 0x0F;
    if (day == 0 || month == 0 || month > 12)
        return os::currentUtcTime();

    os::CalendarTime t;
    t.year = static_cast<uint16_t>(1980 + (dosDate >> 9));
    t.month = static_cast<uint16_t>(month);
    t.day = static_cast<uint16_t>(day);
    const unsigned hour = dosTime >> 11;
    const unsigned minute = (dosTime >> 5) & 0x3F;
    const unsigned halfSeconds = dosTime & 0x1F;
    t.hour = static_cast<uint16_t>(hour > 23 ? 0 : hour);
    t.minute = static_cast<uint16_t>(minute >= 60 ? 0 : minute);
    t.second = static_cast<uint16_t>(halfSeconds >= 30 ? 0 : halfSeconds * 2);
    return t;
}

} // namespace vexmar
