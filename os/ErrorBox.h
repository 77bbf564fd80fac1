// A message box with the error icon, for failures the user must see.
#pragma once

#include "os/WideText.h"

namespace os {

// MessageBoxW with MB_ICONERROR (and MB_SETFOREGROUND when `foreground`), owned
// by `owner` (an HWND, or null for none). Elsewhere the caption and the text go
// to standard error.
void showErrorBox(void* owner, const wchar* text, const wchar* caption, bool foreground);

} // namespace os
