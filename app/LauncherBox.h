// Every message of the launcher goes through here: it is written to the run's log,
// and shown as a message box unless the run is quiet (/q), where nobody could
// answer a box and the exit status says what happened.
#pragma once

#include "os/WideText.h"

#include <windows.h>

// MessageBoxW with these arguments, or IDOK without showing anything when quiet.
int LauncherBox(HWND owner, const os::wstring& text, const os::wstring& caption, UINT type);

// Whether the run shows no window and no message box (/q).
bool IsQuietRun();
