// Loading libraries and looking up their exports at run time.
#pragma once

#include "os/ModuleInfo.h"

namespace os {

// The calling convention of the system's exported functions.
#if defined(_WIN32) && !defined(_WIN64)
#define OS_SYSAPI __stdcall
#else
#define OS_SYSAPI
#endif

// Whether the system libraries the toolkit names (kernel32.dll, shlwapi.dll,
// psapi.dll) exist here. Off Windows they do not, and every run-time binding of
// their functions reports "not available".
[[nodiscard]] bool bindsSystemFunctions();

// A system library by its file name, from the system folder alone
// (LOAD_LIBRARY_SEARCH_SYSTEM32): never from the program's folder, the current
// folder or PATH. Null on failure (see lastErrorCode).
ModuleHandle loadLibrary(const wchar* name);

// LoadLibraryExW with LOAD_WITH_ALTERED_SEARCH_PATH: the library's own folder is
// searched first for its dependencies.
ModuleHandle loadLibraryFromPath(const wchar* path);

void freeLibrary(ModuleHandle module);

// GetProcAddress: the exported symbol `name` of `module`, or null.
void* findExport(ModuleHandle module, const char* name);

} // namespace os
