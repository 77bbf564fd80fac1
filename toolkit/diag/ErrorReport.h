// Writing the report of the pending error and handling caught exceptions.
#pragma once

#include "toolkit/diag/ErrorRecord.h"

#include <cstdint>

namespace Quillkit {

// For a catch-all handler: writes the report of the pending toolkit error, or
// turns the exception being handled into one (through the registered exception
// translators, else `fallback`, else "Unknown internal error.") and reports that.
// Releases the error lock the raise kept and returns the reported code.
int32_t HandleException(const ErrorRecord* fallback);

// Writes the report of the pending error, if any, and clears it; returns its code
// (0 when none). The caller releases the error lock its raise kept.
int32_t FlushErrorReport();

// Throws MetaOutput::PrivateException when an error is pending.
void ThrowIfErrorPending();

// For hosts that bracket their operations: the outermost Leave writes the report
// unless the host holds it back.
void EnterErrorHandling();
void LeaveErrorHandling();

} // namespace Quillkit
