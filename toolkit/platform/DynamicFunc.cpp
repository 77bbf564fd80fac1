#include "toolkit/platform/DynamicFunc.h"

#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/Raise.h"

#include <algorithm>
#include <cstring>

namespace Quillkit {

namespace {

constexpr const WChar* kNotLoaded =
    QK_TEXT("Quillkit: Dynamic library function %hs was not loaded from library %s.");

class LockScope {
public:
    explicit LockScope(os::RecursiveLock& lock) : lock_(lock) { lock_.enter(); }
    ~LockScope() { lock_.leave(); }
    LockScope(const LockScope&) = delete;
    LockScope& operator=(const LockScope&) = delete;

private:
    os::RecursiveLock& lock_;
};

} // namespace

DynamicBinding::DynamicBinding(DynamicLib* library, const char* name) : library_(library) {
    SetName(name, "");
}

DynamicBinding::~DynamicBinding() = default;

void DynamicBinding::SetName(const char* name, const char* suffix) {
    size_t n = std::min(std::strlen(name), sizeof name_ - 1);
    size_t s = std::min(std::strlen(suffix), sizeof name_ - 1 - n);
    std::memcpy(name_, name, n);
    std::memcpy(name_ + n, suffix, s);
    name_[n + s] = 0;
}

intptr_t DynamicBinding::bind(bool raise) {
    library_->Load(nullptr);
    if (void* address = os::findExport(library_->GetHandle(), name_))
        return reinterpret_cast<intptr_t>(address);
    if (raise)
        RaiseErrorMessage(ErrorCode::kWindows, kNotLoaded, name_, library_->Name());
    else
        LogDebugMessage(kNotLoaded, name_, library_->Name());
    return kFailed;
}

bool DynamicBinding::IsAvailable() {
    if (function_.load(std::memory_order_acquire) == 0) {
        LockScope hold(lock_);
        // The libraries named here are Windows system libraries: elsewhere the
        // fallbacks run without a lookup.
        if (function_.load(std::memory_order_relaxed) == 0)
            function_.store(os::bindsSystemFunctions() ? bind(false) : kFailed,
                            std::memory_order_release);
    }
    intptr_t f = function_.load(std::memory_order_acquire);
    return f != 0 && f != kFailed;
}

void* DynamicBinding::Get() {
    intptr_t f = function_.load(std::memory_order_acquire);
    if (f != 0 && f != kFailed)
        return reinterpret_cast<void*>(f);
    LockScope hold(lock_);
    f = function_.load(std::memory_order_relaxed);
    if (f == 0 || f == kFailed) {
        f = bind(true);
        function_.store(f, std::memory_order_release);
    }
    return f == kFailed ? nullptr : reinterpret_cast<void*>(f);
}

} // namespace Quillkit
