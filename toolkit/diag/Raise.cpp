#include "toolkit/diag/Raise.h"

#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/ErrorReport.h"
#include "toolkit/diag/OutputHold.h"
#include "toolkit/diag/SharedOutput.h"
#include "toolkit/diag/ToolkitStrings.h"
#include "toolkit/diag/UserLog.h"

#include "resources/StringIds.h"

#include <exception>

namespace Quillkit {

namespace {

// "Additional error occurred while reporting an error!" as an additional detail.
// Loading the text may itself fail and raise; that raise must not note again.
void noteAdditionalError() {
    static thread_local bool noting = false;
    if (noting)
        return;
    noting = true;
    try {
        AddAdditionalDetail(LoadToolkitString(StringId::kAdditionalErrorNote).c_str());
    } catch (const MetaOutput::PrivateException&) {
    }
    noting = false;
}

// Steps of a raise that may themselves fail: tidy up, make the error current, mark
// the logs and start capturing what follows.
void begin(MetaOutput* out, int32_t code, const ErrorRecord* record) {
    FlushErrorReport();
    ErrorRecord current;
    if (record) {
        current = *record;
    } else {
        current.kind = kKindError;
        current.code = code;
        current.summary = LoadToolkitString(ErrorCodeToMessageId(code));
    }
    out->SetCurrentError(current);
    UserMessage(0, QK_TEXT(" "));
    out->BeginErrorCapture(current);
    LogString(StringId::kErrorBanner);
}

} // namespace

void RaiseErrorRecord(int32_t code, const ErrorRecord* record) {
    MetaOutput* out = GetSharedOutputData();
    OwnedLock* errorLock = out->GetErrorLock();
    errorLock->Enter();
    OutputHold hold(out);
    if (out->GetCurrentError()->code != 0 || std::uncaught_exceptions() > 0) {
        if (code != 0)
            noteAdditionalError();
        errorLock->Leave();
        return;
    }
    if (code == 0) {
        FlushErrorReport();
        errorLock->Leave();
        return;
    }
    try {
        begin(out, code, record);
    } catch (const MetaOutput::PrivateException&) {
        // The failing step's own raise keeps the error lock for the report.
        errorLock->Leave();
        noteAdditionalError();
    } catch (...) {
        if (out->GetCurrentError()->code == 0)
            out->SetCurrentErrorCode(code);
        noteAdditionalError();
    }
    ThrowIfErrorPending();
    errorLock->Leave();
}

void RaiseError(int32_t code) {
    RaiseErrorRecord(code, nullptr);
}

void RaiseErrorMessage(int32_t code, const WChar* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    AddErrorMessageToDebugLogV(format, &arguments);
    va_end(arguments);
    RaiseError(code);
}

void RaiseDetailedError(int32_t code, const WString& summary, const WString& detail,
                        const WString& debugText) {
    ErrorRecord record{kKindError, code, summary, detail, debugText};
    RaiseErrorRecord(code, &record);
}

} // namespace Quillkit
