#include "os/DynamicLibrary.h"

#include <windows.h>

#include <string>

namespace os {

bool bindsSystemFunctions() {
    return true;
}

ModuleHandle loadLibrary(const wchar* name) {
    // The system folder alone: a library of the same name beside the program, in
    // the current folder or along PATH is never taken for a system library.
    if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        return module;
    // Systems without the search flags refuse them as an invalid parameter; the
    // library's full path in the system folder asks for the same there.
    if (GetLastError() != ERROR_INVALID_PARAMETER)
        return nullptr;
    wchar_t system[MAX_PATH];
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    std::wstring path(system, length);
    path += L'\\';
    path += name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

ModuleHandle loadLibraryFromPath(const wchar* path) {
    return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void freeLibrary(ModuleHandle module) {
    FreeLibrary(static_cast<HMODULE>(module));
}

void* findExport(ModuleHandle module, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

} // namespace os
