// The ZIP records the reader looks at: signatures, sizes and little-endian fields.
#pragma once

#include <cstdint>

#include "zip/base/ByteOrder.h"

namespace zipfmt {

using vexmar::le16;
using vexmar::le32;
using vexmar::le64;

inline bool hasSignature(const uint8_t* p, uint8_t third, uint8_t fourth) {
    return p[0] == 0x50 && p[1] == 0x4B && p[2] == third && p[3] == fourth;
}

constexpr uint32_t kEndRecordSize = 22;
constexpr uint32_t kEndChunkSize = 0x10400; // how far from the end the end record is sought
constexpr uint32_t kZip64LocatorSize = 20;
constexpr uint32_t kZip64EndRecordSize = 56;
constexpr uint32_t kCentralHeaderSize = 46;
constexpr uint32_t kLocalHeaderSize = 30;

constexpr uint32_t kSaturated32 = 0xFFFFFFFF; // "look in the Zip64 extra field"

constexpr uint16_t kExtraZip64 = 0x0001;
constexpr uint16_t kExtraStrongEncryption = 0x0017;
constexpr uint16_t kExtraUnicodePath = 0x7075;
constexpr uint16_t kExtraWinZipAes = 0x9901;

// The engine's own local extra record for its own encryption scheme.
constexpr uint32_t kVexmarEncryptionMagic = 0xAB39F277;

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;
constexpr uint16_t kFlagStrongEncryption = 0x0040;
constexpr uint16_t kFlagUtf8 = 0x0800;

constexpr uint16_t kMethodWinZipAes = 99;

} // namespace zipfmt
