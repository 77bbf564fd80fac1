// The main dialog's private window messages. They start at WM_APP: numbers from
// WM_USER upwards belong to the window class, and for a dialog WM_USER and
// WM_USER + 1 are the dialog manager's DM_GETDEFID and DM_SETDEFID.
#pragma once

#include <windows.h>

// wParam: percent done (0 to 100), lParam: 0. Posted by the extraction worker.
inline constexpr UINT kProgressMessage = WM_APP;
// No parameters: an extract-only run starts itself with it.
inline constexpr UINT kStartRequestMessage = WM_APP + 1;
