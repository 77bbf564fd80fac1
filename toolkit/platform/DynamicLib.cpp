#include "toolkit/platform/DynamicLib.h"

#include "os/DynamicLibrary.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/platform/AppendPath.h"

namespace Quillkit {

namespace {
constexpr size_t kMaxPath = 260;
}

DynamicLib::DynamicLib(const WChar* name) {
    if (!name)
        return;
    size_t n = os::wideLength(name);
    if (n >= kMaxPath)
        n = kMaxPath - 1;
    WString(name, n).copy(name_, n);
}

DynamicLib::~DynamicLib() {
    if (handle_)
        os::freeLibrary(handle_);
}

os::ModuleHandle DynamicLib::Load(const WChar* directory) {
    if (handle_)
        return handle_;
    const WChar* loaded = name_;
    WChar path[kMaxPath] = {};
    if (directory && os::wideLength(directory) < kMaxPath) {
        WString(directory).copy(path, kMaxPath - 1);
        AppendPath(path, name_);
        loaded = path;
        handle_ = os::loadLibraryFromPath(path);
    } else {
        handle_ = os::loadLibrary(name_);
    }
    if (!handle_)
        RaiseErrorMessage(ErrorCode::kWindows,
                          QK_TEXT("Quillkit: Dynamic library %s was not loaded."), loaded);
    return handle_;
}

os::ModuleHandle DynamicLib::GetHandle() {
    return handle_;
}

void DynamicLib::SetHandle(os::ModuleHandle module) {
    handle_ = module;
}

} // namespace Quillkit
