// Waiting for a worker while the user interface stays responsive.
#pragma once

#include "os/MessageWait.h"

#include <cstdint>

namespace Quillkit {

// Waits for `handle` while dispatching the thread's window messages; returns the
// wait's result, 0 when the handle was signalled.
uint32_t WaitWithMessages(os::WaitHandle handle);

} // namespace Quillkit
