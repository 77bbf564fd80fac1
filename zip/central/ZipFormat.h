// The ZIP records the reader looks at: signatures, sizes and little-endian fields.
#pragma once

#include <cstdint>

#include "zip/base/ByteOrder.h"

namespace vexmar {

namespace zipfmt {

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

// The compression methods the engine knows, as the headers store them.
enum class Method : uint16_t {
    kStored = 0,
    kShrunk = 1,
    kImploded = 6,
    kDeflated = 8,
    kDeflate64 = 9,
    kBzip2 = 12,
    kLzma = 14,
    kPpmd = 98,
    kWinZipAes = 99, // the real method is in the AES extra field
};

constexpr uint16_t kMethodWinZipAes = static_cast<uint16_t>(Method::kWinZipAes);

// An entry's or an archive's kind of encryption. Callers of the public objects see these
// numbers, and entries may carry the engine's own kinds beside them.
enum class Encryption : int32_t {
    kNone = 0,
    kWinZipAes = 4,
    kPassword = 5, // traditional ZIP encryption
};

constexpr int32_t encryptionNumber(Encryption kind) {
    return static_cast<int32_t>(kind);
}

} // namespace zipfmt

} // namespace vexmar
