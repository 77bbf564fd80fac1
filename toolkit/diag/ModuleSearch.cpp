#include "toolkit/diag/ModuleSearch.h"

#include "os/DynamicLibrary.h"

#include <vector>

namespace Quillkit {

std::set<os::ModuleHandle>* ModuleSearch::modules_ = nullptr;

ModuleSearch::~ModuleSearch() {
    delete modules_;
    modules_ = nullptr;
}

bool ModuleSearch::FindNextModuleExporting(const char* name) {
    if (!modules_) {
        std::vector<os::ModuleHandle> loaded;
        os::listModules(loaded);
        modules_ = new std::set<os::ModuleHandle>(loaded.begin(), loaded.end());
    }
    auto next = modules_->begin();
    if (current_) {
        next = modules_->lower_bound(current_);
        if (next != modules_->end())
            ++next;
    }
    for (; next != modules_->end(); ++next) {
        if (os::findExport(*next, name)) {
            current_ = *next;
            return true;
        }
    }
    return false;
}

} // namespace Quillkit
