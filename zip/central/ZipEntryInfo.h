// What was parsed for one entry of an opened archive.
#pragma once

#include "zip/base/StringBuffer.h"

#include <cstdint>
#include <memory>

namespace vexmar {

// The fields of a central or local header that both share.
struct ZipHeaderFields {
    uint16_t versionNeeded = 0;
    uint16_t flags = 0;
    uint16_t method = 0;
    uint16_t dosTime = 0;
    uint16_t dosDate = 0;
    uint32_t crc32 = 0;
    uint32_t compressedSize = 0;
    uint32_t uncompressedSize = 0;
    uint16_t nameLength = 0;
    uint16_t extraLength = 0;
};

struct CentralHeader : ZipHeaderFields {
    uint16_t versionMadeBy = 0;
    uint16_t commentLength = 0;
    uint16_t diskNumberStart = 0;
    uint16_t internalAttributes = 0;
    uint32_t externalAttributes = 0;
    uint32_t localHeaderOffset = 0;
};

struct LocalHeader : ZipHeaderFields {
    uint32_t signature = 0;
};

struct ZipEntryInfo {
    bool centralLoaded = false;
    bool localLoaded = false;
    uint64_t localHeaderOffset = 0; // after Zip64 processing
    uint64_t centralHeaderOffset = 0;

    CentralHeader central;
    // The three values that may be saturated in the header and given by the Zip64 field.
    uint64_t compressedSize = 0;
    uint64_t uncompressedSize = 0;
    uint64_t localOffset64 = 0;

    StringBuffer rawName;
    std::unique_ptr<StringBuffer> decodedName; // UTF-8, when the name needed decoding
    std::unique_ptr<StringBuffer> comment;

    int32_t encryption = 0; // 0 none, 4 WinZip AES, or the engine's own kind
    int32_t keyLength = 0;
    uint16_t aesVendorVersion = 0; // 1: AE-1 keeps the CRC-32; 2: AE-2 stores 0 there
    uint16_t actualMethod = 0;     // the header's method, or the one the AES field names

    LocalHeader local;
    uint64_t dataOffset = 0;
};

} // namespace vexmar
