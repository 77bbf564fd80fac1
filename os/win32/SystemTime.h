// Between the system's time structures and ours: SYSTEMTIME and CalendarTime, FILETIME and
// FileTime.
#pragma once

#include "os/Clock.h"
#include "os/FileTime.h"

#include <windows.h>

namespace os {

inline CalendarTime fromSystemTime(const SYSTEMTIME& st) {
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

inline SYSTEMTIME toSystemTime(const CalendarTime& t) {
    SYSTEMTIME st{};
    st.wYear = t.year;
    st.wMonth = t.month;
    st.wDayOfWeek = t.dayOfWeek;
    st.wDay = t.day;
    st.wHour = t.hour;
    st.wMinute = t.minute;
    st.wSecond = t.second;
    st.wMilliseconds = t.milliseconds;
    return st;
}

inline FileTime fromFileTime(const FILETIME& ft) {
    return (FileTime(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

inline FILETIME toFileTime(FileTime instant) {
    FILETIME ft;
    ft.dwLowDateTime = DWORD(instant & 0xFFFFFFFF);
    ft.dwHighDateTime = DWORD(instant >> 32);
    return ft;
}

} // namespace os
