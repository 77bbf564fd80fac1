// The modules (executable and libraries) loaded in this process.
#pragma once

#include "os/WideText.h"

#include <cstdint>
#include <vector>

namespace os {

// An HMODULE on Windows; elsewhere the address at which the object is mapped.
using ModuleHandle = void*;

// The module whose image holds `address`, without taking a reference on it.
// Windows asks GetModuleHandleExW (looked up at run time in kernel32.dll) and
// falls back to the allocation base of the address's memory region; elsewhere
// the dynamic linker says which object holds the address. Null when unknown.
ModuleHandle moduleOfAddress(const void* address);

// The process's main executable.
ModuleHandle mainModule();

// The full path of `module` (null: the main executable) in at most `size` units
// including the terminator, cut to fit as GetModuleFileNameW does. Returns the
// units written without the terminator, 0 on failure.
uint32_t moduleFileName(ModuleHandle module, wchar* buffer, uint32_t size);

// Every module loaded in the process, in no particular order. Windows asks
// EnumProcessModules (looked up once at run time in psapi.dll) and otherwise walks
// the address space region by region; elsewhere the dynamic linker lists them.
void listModules(std::vector<ModuleHandle>& modules);

} // namespace os
