#include "toolkit/diag/StringLoad.h"

#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/diag/StringBlock.h"
#include "toolkit/diag/UserLog.h"

#include <exception>

namespace Quillkit {

namespace {

// When an error leaves the load, names the module, id and language in the error's
// details, in reading order.
class LoadTrace {
public:
    LoadTrace(os::ModuleHandle module, uint32_t id, uint16_t language)
        : module_(module), id_(id), language_(language),
          exceptionsAtEntry_(std::uncaught_exceptions()) {}
    ~LoadTrace() {
        if (std::uncaught_exceptions() <= exceptionsAtEntry_)
            return;
        // Unwinding puts each line in front of the others: the second goes first.
        AddErrorMessageToDebugLog(QK_TEXT("         strId: %u; LangId: %u"), unsigned(id_),
                                  unsigned(language_));
        AddErrorMessageToDebugLog(QK_TEXT("Error in %s. Module Handle: %u"),
                                  QK_TEXT("Quillkit::LoadStringFromResource"),
                                  unsigned(reinterpret_cast<uintptr_t>(module_)));
    }

private:
    os::ModuleHandle module_;
    uint32_t id_;
    uint16_t language_;
    int exceptionsAtEntry_;
};

} // namespace

bool LoadStringFromResource(os::ModuleHandle module, uint32_t id, WChar* buffer, uint32_t* size,
                            uint16_t language, bool quiet, bool* found) {
    if (!size) {
        RaiseErrorMessage(ErrorCode::kImproperCall, QK_TEXT("     Parameter pszStrSize is NULL"));
        return false;
    }
    LoadTrace trace(module, id, language);
    StringBlock* block = LoadStringBlock(module, id / kStringsPerBlock + 1, language, quiet);
    if (!block) {
        if (found && quiet)
            *found = false;
        return false;
    }
    uint32_t result;
    try {
        result = GetString(block, id % kStringsPerBlock, buffer, size);
    } catch (...) {
        DeleteStringBlock(block);
        throw;
    }
    DeleteStringBlock(block);
    if (quiet && found)
        *found = true;
    return result != kStringLoadFailed;
}

bool LoadStringFromResource(os::ModuleHandle module, uint32_t id, WString& target,
                            uint16_t language, bool quiet, bool* found) {
    uint32_t size = 0;
    if (!LoadStringFromResource(module, id, nullptr, &size, language, quiet, found))
        return false;
    uint32_t capacity = size + 10;
    target.assign(capacity, WChar(0));
    if (!LoadStringFromResource(module, id, target.data(), &capacity, language, quiet, found))
        return false;
    target.resize(os::wideLength(target.c_str()));
    return true;
}

} // namespace Quillkit
