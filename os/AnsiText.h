// Text in the system's ANSI code page (UTF-8 off Windows).
#pragma once

#include "os/WideText.h"

#include <string>

namespace os {

// MultiByteToWideChar(CP_ACP): appends the UTF-16 form of `length` bytes to
// `out`. False when the system refuses the conversion.
[[nodiscard]] bool ansiToWide(const char* text, size_t length, wstring& out);

// The text in the ANSI code page of the system's default locale, with every
// character that code page lacks replaced by its default character '?'.
std::string wideToSystemAnsi(const wchar* text);

} // namespace os
