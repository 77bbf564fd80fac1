#include "os/FileMapping.h"

#include <windows.h>

namespace os {

MappingHandle createReadOnlyMapping(FileHandle file, uint32_t& error) {
    HANDLE mapping =
        CreateFileMappingW(reinterpret_cast<HANDLE>(file), nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (!mapping) {
        error = GetLastError();
        return kNoMapping;
    }
    return reinterpret_cast<MappingHandle>(mapping);
}

// Windows reads a mapped file ahead in large clusters by itself; `readingAll` asks for
// nothing more.
const void* mapReadOnlyView(MappingHandle mapping, uint64_t size, uint32_t& error, bool) {
    const SIZE_T length = SIZE_T(size);
    if (length != size) {
        error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    const void* view =
        MapViewOfFile(reinterpret_cast<HANDLE>(mapping), FILE_MAP_READ, 0, 0, length);
    if (!view)
        error = GetLastError();
    return view;
}

void unmapView(const void* view, uint64_t) {
    if (view)
        UnmapViewOfFile(view);
}

void closeMapping(MappingHandle mapping) {
    if (mapping != kNoMapping)
        CloseHandle(reinterpret_cast<HANDLE>(mapping));
}

} // namespace os
