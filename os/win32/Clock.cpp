#include "os/Clock.h"

#include <windows.h>

namespace os {

CalendarTime currentUtcTime() {
    SYSTEMTIME st;
    GetSystemTime(&st);
    CalendarTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.dayOfWeek = st.wDayOfWeek;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.milliseconds = st.wMilliseconds;
    return t;
}

uint64_t tickCountMs() {
    return GetTickCount64();
}

void sleepMs(uint32_t ms) {
    Sleep(ms);
}

} // namespace os
