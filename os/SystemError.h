// The operating system's error codes and their texts.
#pragma once

#include <cstddef>
#include <cstdint>

namespace os {

// The calling thread's last error: GetLastError() on Windows, errno elsewhere.
uint32_t lastErrorCode();

// The system's text for an error code as UTF-8, without a trailing line break,
// cut to fit `size` bytes with the terminator. Empty when the system has none.
void errorText(uint32_t code, char* out, size_t size);

} // namespace os
