#include "os/Resources.h"

#include "os/ResourceTable.h"

#include <cerrno>

namespace os {

// A POSIX module's resources are the tables registered for it.

ResourceHandle findResource(ModuleHandle module, uint16_t type, uint16_t name, uint16_t language) {
    if (const ResourceEntry* e = findRegisteredResource(module, type, name, language))
        return e;
    errno = ENOENT;
    return nullptr;
}

const void* resourceData(ModuleHandle, ResourceHandle resource, uint32_t& size, const char*&) {
    auto entry = static_cast<const ResourceEntry*>(resource);
    size = entry->size;
    return entry->data;
}

bool resourceLanguages(ModuleHandle module, uint16_t type, uint16_t name,
                       std::vector<uint16_t>& languages) {
    if (registeredResourceLanguages(module, type, name, languages))
        return true;
    errno = ENOENT;
    return false;
}

} // namespace os
