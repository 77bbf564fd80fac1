#include "os/Lock.h"

#include <new>
#include <pthread.h>

namespace os {

static_assert(sizeof(pthread_mutex_t) <= 64, "RecursiveLock storage too small");

static pthread_mutex_t* mutex(unsigned char* storage) {
    return std::launder(reinterpret_cast<pthread_mutex_t*>(storage));
}

RecursiveLock::RecursiveLock() {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(new (storage_) pthread_mutex_t, &attr);
    pthread_mutexattr_destroy(&attr);
}
RecursiveLock::~RecursiveLock() { pthread_mutex_destroy(mutex(storage_)); }
void RecursiveLock::enter() { pthread_mutex_lock(mutex(storage_)); }
void RecursiveLock::leave() { pthread_mutex_unlock(mutex(storage_)); }

} // namespace os
