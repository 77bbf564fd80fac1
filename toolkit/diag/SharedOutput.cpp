#include "toolkit/diag/SharedOutput.h"

#include "os/DynamicLibrary.h"
#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/ModuleSearch.h"
#include "toolkit/diag/ToolkitStrings.h"

#include <atomic>
#include <mutex>

namespace Quillkit {

namespace {

std::atomic<MetaOutputData*> modulePointer{nullptr};

// The object this module created, if it did: closed and destroyed at module exit.
// An object adopted from another module is left to that module.
struct OwnedObject {
    MetaOutputData* object = nullptr;
    ~OwnedObject() {
        if (!object)
            return;
        CloseDebugLog();
        modulePointer.store(nullptr);
        delete object;
    }
} owned;

constexpr const char* kExportName = "ORV_Quillkit_MetaOutput_GetSharedGlobalData";
using GetSharedGlobalDataFn = int (*)(MetaOutputData**);

} // namespace

MetaOutputData* FindSharedOutputData() {
    ModuleSearch search;
    while (search.FindNextModuleExporting(kExportName)) {
        auto ask =
            reinterpret_cast<GetSharedGlobalDataFn>(os::findExport(search.Current(), kExportName));
        MetaOutputData* found = nullptr;
        if (ask && ask(&found) == 0 && found)
            return found;
    }
    return nullptr;
}

MetaOutputData* GetSharedOutputData() {
    if (MetaOutputData* known = modulePointer.load(std::memory_order_acquire))
        return known;
    static std::mutex creation;
    bool first = false;
    {
        std::lock_guard<std::mutex> hold(creation);
        if (!modulePointer.load(std::memory_order_relaxed)) {
            MetaOutputData* object = FindSharedOutputData();
            if (!object) {
                object = new MetaOutputData;
                owned.object = object;
            }
            modulePointer.store(object, std::memory_order_release);
            first = true;
        }
    }
    if (first)
        VerifyToolkitStrings();
    return modulePointer.load(std::memory_order_acquire);
}

} // namespace Quillkit

extern "C" int ORV_Quillkit_MetaOutput_GetSharedGlobalData(Quillkit::MetaOutputData** out) {
    *out = Quillkit::modulePointer.load(std::memory_order_acquire);
    return 0;
}
