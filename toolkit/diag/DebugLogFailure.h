// Reporting a debug-log line that could not be formatted or written, without ever
// waiting for the error lock while holding the output lock (see OutputHold.h).
#pragma once

#include "toolkit/diag/MetaOutput.h"

#include <cstdint>

namespace Quillkit {

// The format could not be expanded: raises -10.
void ReportDebugLogFormatFailure(MetaOutput* out);

// The write failed with system error `error`: raises it as a file access error.
void ReportDebugLogWriteFailure(MetaOutput* out, uint32_t error);

// For OutputHold: raises what was kept aside (unless an exception is on its way),
// or forgets it.
void RaiseKeptDebugLogFailure();
void DropKeptDebugLogFailure();

} // namespace Quillkit
