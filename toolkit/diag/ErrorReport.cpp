#include "toolkit/diag/ErrorReport.h"

#include "toolkit/diag/DebugLog.h"
#include "toolkit/diag/ErrorCodes.h"
#include "toolkit/diag/OutputHold.h"
#include "toolkit/diag/Raise.h"
#include "toolkit/diag/SharedOutput.h"
#include "toolkit/diag/ToolkitStrings.h"
#include "toolkit/diag/UserLog.h"

#include "resources/StringIds.h"

#include <exception>

namespace Quillkit {

namespace {

void writeSections(MetaOutput* out, int32_t code) {
    out->WriteCurrentError();
    if (!out->AdditionalDetailsEmpty() && !out->GetCurrentError()->detail.empty())
        UserMessage(StringId::kAdditionalDetailsHeading);
    while (!out->AdditionalDetailsEmpty()) {
        WString detail = out->AdditionalDetailFront();
        out->PopAdditionalDetail();
        if (code == ErrorCode::kAbort)
            WriteDebugLog(detail.c_str(), nullptr, true);
        else
            WriteUserMessage(detail.c_str(), nullptr, false);
    }
    if (!out->ErrorDetailsEmpty()) {
        LogString(StringId::kDetailsRule);
        LogString(StringId::kErrorDetailsHeading);
        while (!out->ErrorDetailsEmpty()) {
            WString detail = out->ErrorDetailFront();
            out->PopErrorDetail();
            WriteDebugLog(detail.c_str(), nullptr, true);
        }
    }
    if (code != ErrorCode::kAbort) {
        LogString(StringId::kEndErrorReport);
        LogString(StringId::kReportFooter);
        out->EndErrorCapture();
    } else {
        LogString(StringId::kReportFooter);
    }
    UserMessage(0, QK_TEXT(" "));
    out->RewindHistoryCursor();
    out->RewindTranscriptCursor();
}

void removeUnusedTranslators(MetaOutput* out) {
    for (uint32_t i = out->TranslatorCount(); i-- > 0;)
        if (out->TranslatorUseCount(i) == 0)
            out->RemoveTranslator(i);
}

// Runs each registered translator on the exception being handled; one that
// recognises it raises.
void translate(MetaOutput* out) {
    for (uint32_t i = 0; i < out->TranslatorCount(); ++i) {
        ExceptionTranslator translator = out->TranslatorAt(i);
        out->IncrementTranslatorUse(i);
        try {
            translator();
        } catch (...) {
            out->DecrementTranslatorUse(i);
            throw;
        }
        out->DecrementTranslatorUse(i);
    }
}

void raiseFallback(const ErrorRecord* fallback) {
    if (fallback)
        RaiseErrorRecord(fallback->code, fallback);
    else
        RaiseDetailedError(ErrorCode::kInternal, LoadToolkitString(StringId::kUnknownInternalError),
                           LoadToolkitString(StringId::kUnknownInternalErrorDetail), WString());
}

} // namespace

int32_t FlushErrorReport() {
    MetaOutput* out = GetSharedOutputData();
    OutputHold hold(out);
    int32_t code = out->GetCurrentError()->code;
    if (code != 0)
        writeSections(out, code);
    removeUnusedTranslators(out);
    if (code == ErrorCode::kAbort)
        out->SetAbortRequested(false);
    out->ClearCurrentError();
    hold.Release();
    return code;
}

int32_t HandleException(const ErrorRecord* fallback) {
    MetaOutput* out = GetSharedOutputData();
    OwnedLock* errorLock = out->GetErrorLock();
    // Waits while another thread reports its error; the pending error, if any, is
    // then this thread's own.
    errorLock->Enter();
    if (out->GetCurrentError()->code != 0) {
        int32_t code = FlushErrorReport();
        errorLock->Leave(); // the raise's hold
        errorLock->Leave();
        return code;
    }
    bool raised = false;
    try {
        if (std::current_exception()) {
            translate(out);
            try {
                throw;
            } catch (...) {
                raiseFallback(fallback);
            }
        } else {
            raiseFallback(fallback);
        }
    } catch (const MetaOutput::PrivateException&) {
        raised = true;
    }
    int32_t code = FlushErrorReport();
    if (raised)
        errorLock->Leave();
    errorLock->Leave();
    return code;
}

void ThrowIfErrorPending() {
    MetaOutput* out = GetSharedOutputData();
    if (out->GetCurrentError()->code == 0)
        return;
    out->SetNesting(out->GetNesting() + 1);
    throw MetaOutput::PrivateException();
}

void EnterErrorHandling() {
    MetaOutput* out = GetSharedOutputData();
    out->SetNesting(out->GetNesting() + 1);
}

void LeaveErrorHandling() {
    MetaOutput* out = GetSharedOutputData();
    if (out->GetNesting() == 1 && !out->GetHoldReport())
        FlushErrorReport();
    if (out->GetNesting() > 0)
        out->SetNesting(out->GetNesting() - 1);
}

} // namespace Quillkit
