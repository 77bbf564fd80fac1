// Most of the code page tables' size is their mappings, so the build packs them
// into LZMA blocks (tools/codepages/pack_tables.py): one for the single-byte
// pages, one for the multi-byte pages, so that a program converting only Western
// text never unpacks the large Asian tables. Decoding LZMA is a codec's job,
// above this layer: the program registers the unpacker, and each block is
// unpacked once, on the first use of one of its pages.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace vexmar {

// Fills `out` with exactly `outSize` bytes unpacked from `packed`; false on any
// fault (a damaged block, a size other than `outSize`).
using TableUnpacker = bool (*)(const uint8_t* packed, size_t packedSize, uint8_t* out,
                               size_t outSize);

// One packed block of mappings, and what unpacking it gave.
struct PackedBlock {
    const uint8_t* packed;
    uint32_t packedSize;
    uint32_t unpackedSize;
    // Set once, under the unpacking lock: the block, or nothing after a failure.
    mutable std::atomic<const uint8_t*> unpacked{nullptr};
    mutable bool tried = false;
};

// Makes the packed pages available. Register before converting text in them;
// later registrations change nothing once a block is unpacked.
void setCodePageUnpacker(TableUnpacker unpacker);

// The unpacked block, or null when no unpacker is registered yet, it failed or
// memory ran out. The first call that finds an unpacker unpacks; the result is
// then kept for the process.
const uint8_t* unpackedBlock(const PackedBlock& block);

// Generated with the tables.
extern const PackedBlock kSingleBytePack;
extern const PackedBlock kMultiBytePack;

} // namespace vexmar
