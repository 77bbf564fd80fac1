// PE/COFF constants and little-endian field access for the executable reader
// and writer.
#pragma once

#include <cstdint>

#include "zip/base/ByteOrder.h"

namespace vexmar {

namespace pe {

inline uint64_t roundUp(uint64_t value, uint32_t alignment) {
    return (value + alignment - 1) & ~uint64_t(alignment - 1);
}

inline constexpr uint16_t kDosSignature = 0x5A4D; // "MZ"
inline constexpr uint32_t kDosHeaderSize = 64;
inline constexpr uint32_t kLfanewOffset = 60;

inline constexpr uint32_t kSignatureSize = 4;
inline constexpr uint32_t kFileHeaderSize = 20;
// Fields of the file header, counted from the start of the NT headers.
inline constexpr uint32_t kNumberOfSections = 6;
inline constexpr uint32_t kPointerToSymbolTable = 12;
inline constexpr uint32_t kSizeOfOptionalHeader = 20;
inline constexpr uint32_t kOptionalHeader = kSignatureSize + kFileHeaderSize;

// The optional header's magic decides its layout.
inline constexpr uint16_t kMagicPe32 = 0x10B;
inline constexpr uint16_t kMagicPe32Plus = 0x20B;
// Fields of the optional header that sit at the same place in both layouts.
inline constexpr uint32_t kSectionAlignment = 32;
inline constexpr uint32_t kFileAlignment = 36;
inline constexpr uint32_t kSizeOfImage = 56;
// Where the two layouts differ: the count of data directories and their start.
inline constexpr uint32_t kNumberOfRvaAndSizesPe32 = 92;
inline constexpr uint32_t kNumberOfRvaAndSizesPe32Plus = 108;
inline constexpr uint32_t kDataDirectoriesPe32 = 96;
inline constexpr uint32_t kDataDirectoriesPe32Plus = 112;
inline constexpr uint32_t kDataDirectorySize = 8;

// Data directory indexes.
inline constexpr uint32_t kDirResource = 2;
inline constexpr uint32_t kDirCertificate = 4; // its "RVA" is a file offset
inline constexpr uint32_t kDirDebug = 6;

inline constexpr uint32_t kSectionHeaderSize = 40;
inline constexpr uint32_t kSectionNameSize = 8;
// Section characteristics, and where they sit in the header's last 16 bytes.
inline constexpr uint32_t kCharacteristicsInRest = 12;
inline constexpr uint32_t kScnMemDiscardable = 0x02000000;

// A debug directory entry and the two fields that locate its data.
inline constexpr uint32_t kDebugEntrySize = 28;
inline constexpr uint32_t kDebugAddressOfRawData = 20;
inline constexpr uint32_t kDebugPointerToRawData = 24;

// The resource directory.
inline constexpr uint32_t kResDirHeaderSize = 16;
inline constexpr uint32_t kResDirEntrySize = 8;
inline constexpr uint32_t kResDataEntrySize = 16;
inline constexpr uint32_t kResHighBit = 0x80000000;
inline constexpr uint16_t kRtRcData = 10;

} // namespace pe

} // namespace vexmar
