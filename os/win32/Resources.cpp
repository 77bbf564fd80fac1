#include "os/Resources.h"

#include "os/ResourceTable.h"

#include <windows.h>

namespace os {

// The module's own resources first; then the tables the program registered for
// it (resources it keeps packed). A lookup that finds neither leaves the system's
// error code for the caller.

ResourceHandle findResource(ModuleHandle module, uint16_t type, uint16_t name, uint16_t language) {
    if (HRSRC found = FindResourceExW(static_cast<HMODULE>(module), MAKEINTRESOURCEW(type),
                                      MAKEINTRESOURCEW(name), language))
        return found;
    const DWORD error = GetLastError();
    const ResourceEntry* registered = findRegisteredResource(module, type, name, language);
    SetLastError(error);
    return registered;
}

const void* resourceData(ModuleHandle module, ResourceHandle resource, uint32_t& size,
                         const char*& failedStep) {
    if (isRegisteredResource(resource)) {
        auto entry = static_cast<const ResourceEntry*>(resource);
        size = entry->size;
        return entry->data;
    }
    auto hmodule = static_cast<HMODULE>(module);
    auto hresource = static_cast<HRSRC>(const_cast<void*>(resource));
    HGLOBAL loaded = LoadResource(hmodule, hresource);
    if (!loaded) {
        failedStep = "LoadResource";
        return nullptr;
    }
    const void* data = LockResource(loaded);
    if (!data) {
        failedStep = "LockResource";
        return nullptr;
    }
    size = SizeofResource(hmodule, hresource);
    return data;
}

static BOOL CALLBACK collectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR context) {
    reinterpret_cast<std::vector<uint16_t>*>(context)->push_back(language);
    return TRUE;
}

bool resourceLanguages(ModuleHandle module, uint16_t type, uint16_t name,
                       std::vector<uint16_t>& languages) {
    const bool own = EnumResourceLanguagesW(static_cast<HMODULE>(module), MAKEINTRESOURCEW(type),
                                            MAKEINTRESOURCEW(name), collectLanguage,
                                            reinterpret_cast<LONG_PTR>(&languages)) != FALSE;
    const DWORD error = GetLastError();
    const bool registered = registeredResourceLanguages(module, type, name, languages);
    if (!own)
        SetLastError(error);
    return own || registered;
}

} // namespace os
