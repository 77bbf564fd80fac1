// setup.exe's own exit status, kept once it ran to its end: it becomes the
// launcher's, so that "restart needed" (3010) or "cancelled" (1602) reach the caller.
#pragma once

#include <windows.h>

// Reads and keeps the status of the ended process `setup` (on the worker thread).
void RecordSetupStatus(HANDLE setup);

// True, with the status, once setup.exe ran to its end and its status was read
// (on the UI thread, after the worker has ended).
bool SetupRanToItsEnd(DWORD& status);
