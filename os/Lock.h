// A recursive lock: a Windows critical section, or a recursive POSIX mutex.
#pragma once

#include <cstdint>

namespace os {

class RecursiveLock {
public:
    RecursiveLock();
    ~RecursiveLock();
    RecursiveLock(const RecursiveLock&) = delete;
    RecursiveLock& operator=(const RecursiveLock&) = delete;

    void enter();
    void leave();

private:
    // Room for a CRITICAL_SECTION or a pthread_mutex_t, so this header needs neither.
    alignas(8) unsigned char storage_[64];
};

} // namespace os
