// The system's own text for an error code, in a chosen language.
#pragma once

#include "os/WideText.h"

#include <cstdint>

namespace os {

// FormatMessageW from the system in `language` (a full language identifier).
// Elsewhere the C library's text for the errno value, whose language is the
// process locale's. False when the system has no text for the code.
[[nodiscard]] bool systemMessage(uint32_t code, uint16_t language, wstring& text);

} // namespace os
