#include "os/ModuleInfo.h"

#include "os/posix/LoadedObjects.h"

#include <dlfcn.h>
#include <unistd.h>

namespace os {

ModuleHandle moduleOfAddress(const void* address) {
    Dl_info info;
    if (dladdr(address, &info) == 0)
        return nullptr;
    return info.dli_fbase;
}

ModuleHandle mainModule() {
    ModuleHandle main = nullptr;
    forEachLoadedObject([&](const LoadedObject& object) {
        main = object.base;
        return false;
    });
    return main;
}

static uint32_t copyCut(const wstring& text, wchar* buffer, uint32_t size) {
    if (size == 0)
        return 0;
    uint32_t n = text.size() < size ? uint32_t(text.size()) : size - 1;
    text.copy(buffer, n);
    buffer[n] = 0;
    return n;
}

uint32_t moduleFileName(ModuleHandle module, wchar* buffer, uint32_t size) {
    std::string path;
    forEachLoadedObject([&](const LoadedObject& object) {
        if (module && object.base != module)
            return true;
        path = object.isMain ? std::string() : object.path;
        if (object.isMain) {
            char exe[4096];
            ssize_t n = readlink("/proc/self/exe", exe, sizeof exe);
            if (n > 0)
                path.assign(exe, size_t(n));
        }
        return false;
    });
    if (path.empty())
        return 0;
    return copyCut(fromUtf8(path), buffer, size);
}

void listModules(std::vector<ModuleHandle>& modules) {
    forEachLoadedObject([&](const LoadedObject& object) {
        modules.push_back(object.base);
        return true;
    });
}

} // namespace os
