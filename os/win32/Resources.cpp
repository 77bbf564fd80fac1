#include "os/Resources.h"

#include <windows.h>

namespace os {

ResourceHandle findResource(ModuleHandle module, uint16_t type, uint16_t name, uint16_t language) {
    return FindResourceExW(static_cast<HMODULE>(module), MAKEINTRESOURCEW(type),
                           MAKEINTRESOURCEW(name), language);
}

const void* resourceData(ModuleHandle module, ResourceHandle resource, uint32_t& size,
                         const char*& failedStep) {
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
    return EnumResourceLanguagesW(static_cast<HMODULE>(module), MAKEINTRESOURCEW(type),
                                  MAKEINTRESOURCEW(name), collectLanguage,
                                  reinterpret_cast<LONG_PTR>(&languages)) != FALSE;
}

} // namespace os
