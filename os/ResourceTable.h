// Resource tables a program registers for a module: the resources a POSIX build
// carries as data, and on Windows resources the program keeps packed and
// unpacks at start-up. Both platforms' resource lookups consult them.
#pragma once

#include "os/Resources.h"

namespace os {

// The registered entry of (type, name) in `language`; language 0 picks as
// FindResourceExW does: the neutral entry, the user's language, English (United
// States), else the first there is. Null when there is none.
const ResourceEntry* findRegisteredResource(ModuleHandle module, uint16_t type, uint16_t name,
                                            uint16_t language);

// Appends the languages in which (type, name) is registered; false when none is.
bool registeredResourceLanguages(ModuleHandle module, uint16_t type, uint16_t name,
                                 std::vector<uint16_t>& languages);

// Whether `resource` is a registered entry (and not a handle of the system's).
bool isRegisteredResource(ResourceHandle resource);

} // namespace os
