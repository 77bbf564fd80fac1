// Run-time bindings of optional platform functions: bound once, thread-safely,
// with the caller running a built-in fallback when IsAvailable says no.
#pragma once

#include "os/DynamicLibrary.h"
#include "os/Lock.h"
#include "toolkit/platform/DynamicLib.h"

#include <atomic>
#include <cstdint>

namespace Quillkit {

// What every DynamicFunc<T> is; T, the function's result type, only tells the
// bindings apart.
class DynamicBinding {
public:
    DynamicBinding(DynamicLib* library, const char* name);
    virtual ~DynamicBinding();
    DynamicBinding(const DynamicBinding&) = delete;
    DynamicBinding& operator=(const DynamicBinding&) = delete;

    // Binds quietly on first use (a missing function is one debug-log line);
    // whether the function is there. Off Windows, never.
    virtual bool IsAvailable();
    // The function's address, binding again if needed; raises -12 when missing.
    virtual void* Get();

    // Get() as the function's own pointer type.
    template <typename Fn> Fn As() { return reinterpret_cast<Fn>(Get()); }

protected:
    void SetName(const char* name, const char* suffix);

private:
    static constexpr intptr_t kFailed = -1;
    intptr_t bind(bool raise);

    DynamicLib* library_;
    char name_[260] = {};
    std::atomic<intptr_t> function_{0}; // 0: not tried, kFailed: not found
    os::RecursiveLock lock_;
};

template <typename T> class DynamicFunc : public DynamicBinding {
public:
    DynamicFunc(DynamicLib* library, const char* name) : DynamicBinding(library, name) {}
};

// The wide-character form of a platform function: "PathAddBackslash" binds
// PathAddBackslashW.
template <typename T> class DynamicSdkFunc : public DynamicFunc<T> {
public:
    DynamicSdkFunc(DynamicLib* library, const char* name) : DynamicFunc<T>(library, name) {
        this->SetName(name, "W");
    }
};

} // namespace Quillkit
