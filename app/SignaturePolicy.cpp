#include "app/SignaturePolicy.h"

namespace Pellquin {

namespace {

uint32_t read16(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

uint32_t read32(const uint8_t* p) {
    return read16(p) | read16(p + 2) << 16;
}

constexpr uint32_t kCertificateDirectory = 4;

} // namespace

bool CarriesSignature(const uint8_t* head, size_t size) {
    if (!head || size < 0x40 || head[0] != 'M' || head[1] != 'Z')
        return false;
    size_t pe = read32(head + 0x3C);
    // Signature, file header (20 bytes), then the optional header's magic.
    if (pe > size || size - pe < 4 + 20 + 2 || read32(head + pe) != 0x00004550)
        return false;
    size_t optional = pe + 4 + 20;
    uint32_t magic = read16(head + optional);
    size_t countOffset;
    if (magic == 0x10B)
        countOffset = 92; // PE32
    else if (magic == 0x20B)
        countOffset = 108; // PE32+
    else
        return false;
    if (size - optional < countOffset + 4)
        return false;
    uint32_t count = read32(head + optional + countOffset);
    if (count <= kCertificateDirectory)
        return false;
    size_t entry = optional + countOffset + 4 + 8 * kCertificateDirectory;
    if (size < entry + 8)
        return false;
    // The certificate table's "address" is a file offset; a size of 0 means none.
    return read32(head + entry + 4) != 0;
}

bool SignatureAccepted(bool carriesSignature, bool verified, bool requireSignature) {
    if (carriesSignature)
        return verified;
    return !requireSignature;
}

} // namespace Pellquin
