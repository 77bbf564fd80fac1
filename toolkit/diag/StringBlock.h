// String tables as Windows keeps them: RT_STRING resources of 16 entries each,
// an entry being a 16-bit count followed by that many UTF-16 units. String id n
// is entry n mod 16 of block n / 16 + 1.
#pragma once

#include "os/ModuleInfo.h"
#include "toolkit/diag/Text.h"

#include <cstdint>

namespace Quillkit {

constexpr uint32_t kStringsPerBlock = 16;

// One loaded block, owned by whoever loaded it (DeleteStringBlock frees it).
struct StringBlock {
    uint32_t blockNumber;
    uint32_t language;                // the LANGID the block was found under
    WChar* entries[kStringsPerBlock]; // NUL-terminated heap copies
};

// The block under MapNeutralLanguage(language), else under the neutral language,
// which lets the system pick. Null when missing and `quiet`; otherwise a missing
// or unreadable block raises.
StringBlock* LoadStringBlock(os::ModuleHandle module, uint32_t blockNumber, uint16_t language,
                             bool quiet);

// Copies entry `index` into `buffer` when it fits `*size` units with the
// terminator and returns 0; otherwise stores the units needed in `*size` and
// returns that. (kStringLoadFailed when a raise came back because an error was
// already pending.)
uint32_t GetString(const StringBlock* block, uint32_t index, WChar* buffer, uint32_t* size);
constexpr uint32_t kStringLoadFailed = 0xFFFFFFFF;

void DeleteStringBlock(StringBlock* block);

// A primary-language-only LANGID becomes the specific one such tables are stored
// under (9 gives 1033); every other value passes unchanged.
uint16_t MapNeutralLanguage(uint16_t language);

} // namespace Quillkit
