// A library loaded on demand, for binding optional platform functions at run time.
#pragma once

#include "os/ModuleInfo.h"
#include "toolkit/diag/Text.h"

namespace Quillkit {

class DynamicLib {
public:
    // A null name leaves it empty.
    explicit DynamicLib(const WChar* name);
    // Frees the library when it was loaded.
    ~DynamicLib();
    DynamicLib(const DynamicLib&) = delete;
    DynamicLib& operator=(const DynamicLib&) = delete;

    // Loads the library once: from `directory` when one is given (its own folder
    // is searched first for its dependencies), else by the platform's search
    // order. Raises -12 when it cannot be loaded.
    virtual os::ModuleHandle Load(const WChar* directory);
    virtual os::ModuleHandle GetHandle();
    virtual void SetHandle(os::ModuleHandle module);

    const WChar* Name() const { return name_; }

private:
    WChar name_[260] = {};
    os::ModuleHandle handle_ = nullptr;
};

} // namespace Quillkit
