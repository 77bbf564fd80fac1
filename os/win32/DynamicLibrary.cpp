#include "os/DynamicLibrary.h"

#include <windows.h>

namespace os {

bool bindsSystemFunctions() {
    return true;
}

ModuleHandle loadLibrary(const wchar* name) {
    return LoadLibraryW(name);
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
