// Resources carried by a module, found by numeric type, numeric name and language,
// as FindResourceExW, LoadResource and LockResource find them. Windows reads the
// image's resource section. Elsewhere a module carries its resources as a table
// that the build generates from the same sources as the Windows resource script,
// and registers it at start-up, so resource data has one format everywhere.
#pragma once

#include "os/ModuleInfo.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace os {

constexpr uint16_t kResourceTypeString = 6; // RT_STRING

// An HRSRC on Windows; elsewhere an entry of a registered table.
using ResourceHandle = const void*;

// FindResourceExW. Language 0 (neutral) lets the system choose: the neutral
// entry, else the user's language, else English (United States), else the first
// present. Null on failure, with lastErrorCode() set.
ResourceHandle findResource(ModuleHandle module, uint16_t type, uint16_t name, uint16_t language);

// LoadResource and LockResource in one: the resource's bytes, null on failure
// with lastErrorCode() set. `failedStep` names the step that failed.
const void* resourceData(ModuleHandle module, ResourceHandle resource, uint32_t& size,
                         const char*& failedStep);

// EnumResourceLanguagesW: the languages in which the resource exists, in the
// order the system reports them. False when the resource cannot be enumerated.
[[nodiscard]] bool resourceLanguages(ModuleHandle module, uint16_t type, uint16_t name,
                                     std::vector<uint16_t>& languages);

// One resource of a generated table.
struct ResourceEntry {
    uint16_t type;
    uint16_t name;
    uint16_t language;
    uint32_t size;
    const void* data;
};

// Announces resources of `module` held as a table; the entries must live as long
// as the process. Off Windows these are a module's resources. On Windows they
// come after the module's own: resources the program keeps packed.
void registerResources(ModuleHandle module, const ResourceEntry* entries, size_t count);

// Off Windows: announces the resources of the module that holds `entries`. (On
// Windows the linker puts the compiled resource script into the image instead.)
struct ResourceRegistration {
    ResourceRegistration(const ResourceEntry* entries, size_t count);
};

} // namespace os
