// printf-style formatting into UTF-16 text, the same on every platform, with the
// Windows meaning of the string conversions: %s and %ls take UTF-16 text, %hs and
// %S take 8-bit text (read as UTF-8); %c is a UTF-16 unit, %hc a byte.
#pragma once

#include "toolkit/diag/Text.h"

#include <cstdarg>

namespace Quillkit {

// False for a conversion it does not know (and for %n, which it never writes);
// `out` then holds what was formatted before it.
bool FormatPrintfV(WString& out, const WChar* format, va_list arguments);
bool FormatPrintf(WString& out, const WChar* format, ...);

// FormatPrintf that yields the format itself when formatting fails.
WString PrintfText(const WChar* format, ...);

} // namespace Quillkit
