// Waiting for one object while the thread's window messages keep flowing.
#pragma once

#include <cstdint>

namespace os {

// What an object to wait for is: a HANDLE on Windows, a descriptor elsewhere
// (signalled when it becomes readable).
using WaitHandle = intptr_t;

constexpr uint32_t kWaitSignalled = 0;
constexpr uint32_t kWaitFailed = 0xFFFFFFFF;

// Dispatches every queued message of the thread (PeekMessageW, TranslateMessage,
// DispatchMessageW), then waits without time limit for the object or for new
// input (MsgWaitForMultipleObjects, QS_ALLINPUT), and again while input arrives.
// Returns the last wait's result: kWaitSignalled when the object was signalled.
// Elsewhere threads have no message queue and only the wait remains.
uint32_t waitWithMessages(WaitHandle handle);

} // namespace os
