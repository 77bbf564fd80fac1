#include "os/DynamicLibrary.h"

#include "os/posix/LoadedObjects.h"

#include <cerrno>
#include <dlfcn.h>
#include <link.h>

namespace os {

bool bindsSystemFunctions() {
    return false;
}

// The mapping base of a dlopen'ed object stands for it, as for every module here.
static ModuleHandle baseOf(void* handle) {
    link_map* map = nullptr;
    Dl_info info;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !map || dladdr(map->l_ld, &info) == 0) {
        dlclose(handle);
        errno = ENOENT;
        return nullptr;
    }
    return info.dli_fbase;
}

static ModuleHandle open(const wchar* path) {
    void* handle = dlopen(toUtf8(path, wideLength(path)).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        errno = ENOENT;
        return nullptr;
    }
    return baseOf(handle);
}

ModuleHandle loadLibrary(const wchar* name) {
    return open(name);
}

// dlopen already looks for an object's dependencies along its own run path.
ModuleHandle loadLibraryFromPath(const wchar* path) {
    return open(path);
}

void freeLibrary(ModuleHandle module) {
    // One reference for the lookup, one for the load being undone.
    if (void* handle = openLoadedObject(module)) {
        dlclose(handle);
        dlclose(handle);
    }
}

void* findExport(ModuleHandle module, const char* name) {
    void* handle = openLoadedObject(module);
    if (!handle)
        return nullptr;
    void* symbol = dlsym(handle, name);
    dlclose(handle);
    return symbol;
}

} // namespace os
