#include "toolkit/diag/ErrorContext.h"

#include "toolkit/diag/OutputHold.h"
#include "toolkit/diag/SharedOutput.h"
#include "toolkit/diag/UserLog.h"

#include <exception>

namespace Quillkit {

ErrorContext::ErrorContext(int32_t kind, int32_t code, const WString& summary,
                           const WString& detail, const WString& debugText)
    : record_{kind, code, summary, detail, debugText},
      exceptionsAtEntry_(std::uncaught_exceptions()) {}

ErrorContext::~ErrorContext() {
    if (!armed_ || std::uncaught_exceptions() <= exceptionsAtEntry_)
        return;
    armed_ = false;
    MetaOutput* out = GetSharedOutputData();
    // Only a toolkit error raised by this thread is on its way; any other exception
    // is turned into a report by HandleException, without this context.
    if (!out->GetErrorLock()->HeldByThisThread() || out->GetCurrentError()->code == 0)
        return;
    OutputHold hold(out);
    if (!record_.debugText.empty())
        AddErrorDetail(record_.debugText.c_str());
    if (record_.kind != 0) {
        ErrorRecord replaced = *out->GetCurrentError();
        if (!replaced.detail.empty())
            AddAdditionalDetail(replaced.detail.c_str());
        if (!replaced.summary.empty())
            AddAdditionalDetail(replaced.summary.c_str());
        out->SetCurrentError(record_);
        out->SetHistoryNeedsUpdate();
    } else if (!record_.detail.empty()) {
        AddAdditionalDetail(record_.detail.c_str());
    }
}

} // namespace Quillkit
