#include "os/ModuleInfo.h"

#include "os/DynamicLibrary.h"

#include <windows.h>

namespace os {

using GetModuleHandleExFn = BOOL(WINAPI*)(DWORD, LPCWSTR, HMODULE*);
using EnumProcessModulesFn = BOOL(WINAPI*)(HANDLE, HMODULE*, DWORD, LPDWORD);

// GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT
constexpr DWORD kFromAddressUnchangedRefcount = 6;

// Run-time lookup of a function that older systems lack.
template <typename Fn> static Fn lookUp(const wchar_t* library, const char* name) {
    auto module = static_cast<HMODULE>(loadLibrary(library));
    if (!module)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

ModuleHandle moduleOfAddress(const void* address) {
    static const auto getModuleHandleEx =
        lookUp<GetModuleHandleExFn>(L"kernel32.dll", "GetModuleHandleExW");
    HMODULE module = nullptr;
    if (getModuleHandleEx &&
        getModuleHandleEx(kFromAddressUnchangedRefcount, static_cast<LPCWSTR>(address), &module) &&
        module)
        return module;
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(address, &info, sizeof info) == 0)
        return nullptr;
    return info.AllocationBase;
}

ModuleHandle mainModule() {
    return GetModuleHandleW(nullptr);
}

uint32_t moduleFileName(ModuleHandle module, wchar* buffer, uint32_t size) {
    return GetModuleFileNameW(static_cast<HMODULE>(module), buffer, size);
}

static bool listByEnumProcessModules(std::vector<ModuleHandle>& modules) {
    static const auto enumProcessModules =
        lookUp<EnumProcessModulesFn>(L"psapi.dll", "EnumProcessModules");
    if (!enumProcessModules)
        return false;
    std::vector<HMODULE> handles(0x100 / sizeof(HMODULE));
    DWORD needed = 0;
    for (;;) {
        DWORD bytes = DWORD(handles.size() * sizeof(HMODULE));
        if (!enumProcessModules(GetCurrentProcess(), handles.data(), bytes, &needed))
            return false;
        if (needed <= bytes)
            break;
        handles.resize((needed + sizeof(HMODULE) - 1) / sizeof(HMODULE));
    }
    for (size_t i = 0; i < needed / sizeof(HMODULE); ++i)
        modules.push_back(handles[i]);
    return true;
}

// A region counts as a module when it starts its own allocation, is committed and
// the loader knows a file name for it.
static void listByAddressWalk(std::vector<ModuleHandle>& modules) {
    auto address = reinterpret_cast<const char*>(GetModuleHandleW(nullptr));
    MEMORY_BASIC_INFORMATION info;
    while (VirtualQuery(address, &info, sizeof info) != 0) {
        wchar_t name[16];
        if (info.BaseAddress == info.AllocationBase && info.State == MEM_COMMIT &&
            GetModuleFileNameW(static_cast<HMODULE>(info.AllocationBase), name, 16) != 0)
            modules.push_back(info.AllocationBase);
        address = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    }
}

void listModules(std::vector<ModuleHandle>& modules) {
    if (!listByEnumProcessModules(modules))
        listByAddressWalk(modules);
}

} // namespace os
