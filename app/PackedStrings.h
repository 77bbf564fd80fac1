// Most of the toolkit's string blocks are kept packed in the launcher: in six
// languages they are a third of its string tables, and they are read only when
// something goes wrong. At start-up the launcher unpacks them and registers them
// as resources of its own module, where the string loader finds them after the
// blocks the image carries. (Blocks a branding tool may rewrite stay in the
// image's string tables.)
#pragma once

#include "os/ModuleInfo.h"

#include <cstddef>
#include <cstdint>

namespace Pellquin {

struct PackedStringBlock {
    uint16_t language;
    uint16_t number;
    uint32_t offset; // in the unpacked data
    uint32_t size;
};

struct PackedStringTables {
    const uint8_t* packed; // the .lzma form
    uint32_t packedSize;
    uint32_t unpackedSize;
    const PackedStringBlock* blocks;
    uint32_t count;
};

// Generated with the string tables.
extern const PackedStringTables kPackedStringTables;

// Unpacks `tables` and registers their blocks as RT_STRING resources of
// `module`, kept for the process. False when the data is damaged or memory ran
// out; nothing is registered then.
[[nodiscard]] bool RegisterPackedStrings(const PackedStringTables& tables, os::ModuleHandle module);

} // namespace Pellquin
