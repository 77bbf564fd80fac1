// A walk over the process's modules in address order, looking for exports.
#pragma once

#include "os/ModuleInfo.h"

#include <set>

namespace Quillkit {

// All searches share one module list, built on demand; destroying a search
// destroys the list (never the modules). The list has no lock: two searches must
// not run at the same time.
class ModuleSearch {
public:
    ModuleSearch() = default;
    ~ModuleSearch();
    ModuleSearch(const ModuleSearch&) = delete;
    ModuleSearch& operator=(const ModuleSearch&) = delete;

    // Moves to the next module, by address, that exports `name`; false at the end.
    bool FindNextModuleExporting(const char* name);
    os::ModuleHandle Current() const { return current_; }

private:
    static std::set<os::ModuleHandle>* modules_;
    os::ModuleHandle current_ = nullptr;
};

} // namespace Quillkit
