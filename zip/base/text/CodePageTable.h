// The built-in tables of the code pages converted through UTF-16. The mapping
// data is generated (tools/codepages/gen_tables.py) in the compact form of
// MappingStream.h; the lookup structures of both directions are built from it
// on first use, once, and then only read. The mappings are built in packed
// (PackedTables.h).
#pragma once

#include "zip/base/text/MappingStream.h"
#include "zip/base/text/PackedTables.h"

#include <cstdint>
#include <mutex>

namespace vexmar {

class ReverseMap;
struct ForwardTable;

// A table as the build packs it: its mappings lie in a packed block.
struct CodePageTable {
    uint16_t codePage;
    // Bytes below 0x80 are ASCII, both ways.
    bool asciiCompatible;
    // The longest byte sequence: 1 for a single-byte code page.
    uint8_t maxLength;
    // The block, and where the mapping stream and the preferred sequences (for
    // units that several sequences decode to, where it is not the lowest of
    // them) lie in its unpacked form.
    const PackedBlock* pack;
    uint32_t mappingOffset;
    uint32_t mappingSize;
    uint32_t preferredOffset;
    uint32_t preferredSize;
};

// The lookups built from a table on first use; kept apart from the tables, so
// that those stay constant and these take no room in the program file.
struct CodePageLookups {
    std::once_flag forwardOnce;
    ForwardTable* forward = nullptr;
    std::once_flag reverseOnce;
    ReverseMap* reverse = nullptr;
};

// The bytes to UTF-16 lookup of a table code page.
struct ForwardTable {
    // The unit of each byte alone; 0 means unmapped (but for byte 0).
    char16_t single[256];
    // The units of the two-byte sequences by lead byte, 256 each (0: unmapped),
    // or null where no two-byte sequence starts with that byte.
    const char16_t* rows[256];
    // Three- and four-byte sequences, sorted by length, then code.
    uint32_t longCount;
    const uint32_t* longCodes;
    const uint8_t* longLengths;
    const char16_t* longUnits;

    // The unit of the `length`-byte sequence `code` (3 or 4 bytes), or 0.
    char16_t findLong(uint32_t code, uint8_t length) const;
};

// The table of a code page, or null when it is not built in. 52936 shares the
// table of 936. A packed table counts as built in once its block is unpacked:
// until a program registers the unpacker, no table page is available.
const CodePageTable* findCodePageTable(int codePage);

// A table's mapping streams, wherever they are kept. (Packed tables are only
// handed out once their block is unpacked.)
MappingStream mappingOf(const CodePageTable& table);
PreferredStream preferredOf(const CodePageTable& table);

// The lookups of each direction; null when memory ran out.
const ForwardTable* forwardOf(const CodePageTable& table);
const ReverseMap* reverseMapOf(const CodePageTable& table);

// The generated tables, each sorted by code page, and their lookups.
extern const CodePageTable kSingleByteTables[];
extern const uint32_t kSingleByteTablesCount;
extern CodePageLookups kSingleByteLookups[];
extern const CodePageTable kMultiByteTables[];
extern const uint32_t kMultiByteTablesCount;
extern CodePageLookups kMultiByteLookups[];
// One bit per byte of 10004 (Mac Arabic): its character is written right to left.
extern const uint8_t kRightToLeft10004[32];

} // namespace vexmar
