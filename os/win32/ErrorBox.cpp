#include "os/ErrorBox.h"

#include <windows.h>

namespace os {

void showErrorBox(void* owner, const wchar* text, const wchar* caption, bool foreground) {
    MessageBoxW(static_cast<HWND>(owner), text, caption,
                MB_OK | MB_ICONERROR | (foreground ? MB_SETFOREGROUND : 0));
}

} // namespace os
