// Read-only mappings of whole files into memory.
#pragma once

#include "os/File.h"

#include <cstdint>

namespace os {

// A file-mapping object on Windows; elsewhere a descriptor of its own for the file.
using MappingHandle = intptr_t;
inline constexpr MappingHandle kNoMapping = -1;

// A read-only mapping of the open file (which must have been opened for reading).
// `error` is the system's code on failure. An empty file cannot be mapped.
MappingHandle createReadOnlyMapping(FileHandle file, uint32_t& error);
// A view of the first `size` bytes of the mapping; null on failure. With `readingAll`, the
// caller is about to read the whole view, so the system is asked to bring its pages in at once
// rather than one fault at a time.
const void* mapReadOnlyView(MappingHandle mapping, uint64_t size, uint32_t& error,
                            bool readingAll = false);
void unmapView(const void* view, uint64_t size);
void closeMapping(MappingHandle mapping);

} // namespace os
