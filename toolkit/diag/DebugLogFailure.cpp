#include "toolkit/diag/DebugLogFailure.h"

#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/ErrorContext.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/diag/ToolkitStrings.h"

#include "resources/StringIds.h"

#include <exception>

namespace Quillkit {

namespace {

enum class Failure { None, Format, Write };

struct KeptFailure {
    Failure kind = Failure::None;
    uint32_t error = 0;
    WString path;
};

thread_local KeptFailure kept;

void raise(const KeptFailure& failure) {
    if (failure.kind == Failure::Format) {
        RaiseError(ErrorCode::kFatalRuntime);
        return;
    }
    ErrorContext context(kKindError, ErrorCode::kWindows,
                         LoadToolkitString(StringId::kFileAccessError),
                         LoadToolkitString(StringId::kFileWriteFailed, failure.path), WString());
    RaiseWindowsErrorCode(failure.error, QK_TEXT("WriteFile"));
}

// A thread that holds the error lock never waits for it: raise now. Otherwise
// keep the failure until this thread lets go of the output lock.
void report(MetaOutput* out, KeptFailure failure) {
    if (out->GetErrorLock()->HeldByThisThread())
        raise(failure);
    else
        kept = std::move(failure);
}

} // namespace

void ReportDebugLogFormatFailure(MetaOutput* out) {
    report(out, {Failure::Format, 0, WString()});
}

void ReportDebugLogWriteFailure(MetaOutput* out, uint32_t error) {
    report(out, {Failure::Write, error, out->GetDebugLogPath()});
}

void RaiseKeptDebugLogFailure() {
    if (kept.kind == Failure::None)
        return;
    KeptFailure failure = std::move(kept);
    kept = KeptFailure();
    if (std::uncaught_exceptions() == 0)
        raise(failure);
}

void DropKeptDebugLogFailure() {
    kept = KeptFailure();
}

} // namespace Quillkit
