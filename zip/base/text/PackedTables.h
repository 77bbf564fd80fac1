// The multi-byte code pages' mappings are most of the tables' size, so the build
// packs them into one LZMA block (tools/codepages/pack_tables.py). Decoding LZMA
// is a codec's job, above this layer: the program registers the unpacker, and the
// block is unpacked once, on the first use of one of those pages.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexmar {

// Fills `out` with exactly `outSize` bytes unpacked from `packed`; false on any
// fault (a damaged block, a size other than `outSize`).
using TableUnpacker = bool (*)(const uint8_t* packed, size_t packedSize, uint8_t* out,
                               size_t outSize);

// Makes the packed pages available. Register before converting text in them;
// later registrations change nothing once the block is unpacked.
void setCodePageUnpacker(TableUnpacker unpacker);

// The unpacked block, or null when no unpacker is registered yet, it failed or
// memory ran out. The first call that finds an unpacker unpacks; the result is
// then kept for the process.
const uint8_t* unpackedTables();

// Generated with the multi-byte tables.
extern const uint8_t kPackedTables[];
extern const uint32_t kPackedTablesSize;
extern const uint32_t kUnpackedTablesSize;

} // namespace vexmar
