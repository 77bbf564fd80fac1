// The toolkit's text: UTF-16 units in wide strings.
#pragma once

#include "os/WideText.h"

namespace Quillkit {

using WChar = os::wchar;
using WString = os::wstring;

} // namespace Quillkit

// A UTF-16 string literal.
#define QK_TEXT(s) OS_WTEXT(s)
