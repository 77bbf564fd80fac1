#include "os/Clock.h"

#include "os/win32/SystemTime.h"

#include <windows.h>

namespace os {

CalendarTime currentUtcTime() {
    SYSTEMTIME st;
    GetSystemTime(&st);
    return fromSystemTime(st);
}

uint64_t tickCountMs() {
    return GetTickCount64();
}

void sleepMs(uint32_t ms) {
    Sleep(ms);
}

} // namespace os
