// Raising toolkit errors. A raise makes its record the pending error of the
// shared output data, keeps the error lock for this thread and throws
// MetaOutput::PrivateException; a catch site hands that to HandleException.
//
// While an error is already pending (or an exception is unwinding) a raise adds
// "Additional error occurred while reporting an error!" to the report and returns
// without throwing, so code after a raise must cope with coming back.
#pragma once

#include "toolkit/diag/ErrorRecord.h"

#include <cstdint>

namespace Quillkit {

// With the code's default message.
void RaiseError(int32_t code);

// With `record`, or the code's default message when it is null. Code 0 only
// writes the report of a pending error, if any.
void RaiseErrorRecord(int32_t code, const ErrorRecord* record);

// AddErrorMessageToDebugLog(format, ...), then RaiseError(code).
void RaiseErrorMessage(int32_t code, const WChar* format, ...);

// The record {error, code, summary, detail, debugText}.
void RaiseDetailedError(int32_t code, const WString& summary, const WString& detail,
                        const WString& debugText);

// -12 with the system's text for a platform error code.
void RaiseWindowsErrorCode(uint32_t errorCode, const WChar* functionName);
// The same with the calling thread's last platform error.
void RaiseWindowsError(const WChar* functionName);

// -13 with the C runtime's text for errno.
void RaiseCRuntimeError(const WChar* functionName);

} // namespace Quillkit
