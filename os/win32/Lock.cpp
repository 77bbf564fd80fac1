#include "os/Lock.h"

#include <new>
#include <windows.h>

namespace os {

static_assert(sizeof(CRITICAL_SECTION) <= 64, "RecursiveLock storage too small");

static CRITICAL_SECTION* section(unsigned char* storage) {
    return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}

RecursiveLock::RecursiveLock() { InitializeCriticalSection(new (storage_) CRITICAL_SECTION); }
RecursiveLock::~RecursiveLock() { DeleteCriticalSection(section(storage_)); }
void RecursiveLock::enter() { EnterCriticalSection(section(storage_)); }
void RecursiveLock::leave() { LeaveCriticalSection(section(storage_)); }

} // namespace os
