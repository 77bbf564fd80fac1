// Loading one string id from a module's string tables.
#pragma once

#include "os/ModuleInfo.h"
#include "toolkit/diag/Text.h"

#include <cstdint>

namespace Quillkit {

// With a null `buffer`, stores the units string `id` needs (with its terminator)
// in `*size`; otherwise copies it when `*size` is large enough, and else stores the
// size needed. A missing block is an error unless `quiet`, when it only sets
// `*found` to false. When `quiet`, `*found` tells whether the block was there.
// Returns false when nothing could be loaded (quietly missing, or a raise that
// came back because an error was already pending).
bool LoadStringFromResource(os::ModuleHandle module, uint32_t id, WChar* buffer, uint32_t* size,
                            uint16_t language, bool quiet, bool* found = nullptr);

// The same into a wide string: a size query, then a load into a buffer ten units
// larger, cut at the first NUL.
bool LoadStringFromResource(os::ModuleHandle module, uint32_t id, WString& target,
                            uint16_t language, bool quiet, bool* found = nullptr);

} // namespace Quillkit
