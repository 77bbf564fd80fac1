#include "os/posix/LoadedObjects.h"

#include <dlfcn.h>
#include <link.h>
#include <vector>

namespace os {

// The mapping base of an object: dladdr on its first loaded segment.
static void* mappingBase(const dl_phdr_info& info) {
    for (int i = 0; i < info.dlpi_phnum; ++i) {
        if (info.dlpi_phdr[i].p_type != PT_LOAD)
            continue;
        Dl_info where;
        auto segment = reinterpret_cast<void*>(info.dlpi_addr + info.dlpi_phdr[i].p_vaddr);
        return dladdr(segment, &where) != 0 ? where.dli_fbase : nullptr;
    }
    return nullptr;
}

void forEachLoadedObject(const std::function<bool(const LoadedObject&)>& visit) {
    // Collected first: the callback may itself call into the dynamic linker.
    std::vector<LoadedObject> objects;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* context) {
            auto& list = *static_cast<std::vector<LoadedObject>*>(context);
            LoadedObject object;
            object.base = mappingBase(*info);
            object.isMain = list.empty();
            if (!object.isMain && info->dlpi_name)
                object.path = info->dlpi_name;
            if (object.base)
                list.push_back(object);
            return 0;
        },
        &objects);
    for (const LoadedObject& object : objects)
        if (!visit(object))
            return;
}

void* openLoadedObject(void* base) {
    void* handle = nullptr;
    forEachLoadedObject([&](const LoadedObject& object) {
        if (object.base != base)
            return true;
        if (object.isMain || !object.path.empty())
            handle = dlopen(object.isMain ? nullptr : object.path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        return false;
    });
    return handle;
}

} // namespace os
