// The built-in tables of the code pages converted through UTF-16. The mapping
// data is generated (tools/codepages/gen_tables.py); the way back from UTF-16
// is built from it on first use.
#pragma once

#include <cstdint>
#include <mutex>

class ReverseMap;

struct CodePageTable {
    int codePage = 0;
    // Bytes below 0x80 are ASCII, both ways.
    bool asciiCompatible = false;
    // UTF-16 unit of each byte: of 0x80-0xFF when ASCII-compatible, of
    // 0x00-0xFF otherwise. 0 means the byte has no mapping.
    const char16_t* toUnicode = nullptr;

    // Built once, on first use, then only read.
    mutable std::once_flag reverseOnce{};
    mutable ReverseMap* reverse = nullptr;

    char16_t unitOf(uint8_t byte) const {
        if (!asciiCompatible)
            return toUnicode[byte];
        return byte < 0x80 ? char16_t(byte) : toUnicode[byte - 0x80];
    }
};

// The table of a code page, or null when it is not built in.
const CodePageTable* findCodePageTable(int codePage);

// The hash from UTF-16 back to the code page; null when memory ran out.
const ReverseMap* reverseMapOf(const CodePageTable& table);

// The generated tables, sorted by code page.
extern const CodePageTable kSingleByteTables[];
extern const uint32_t kSingleByteTableCount;
