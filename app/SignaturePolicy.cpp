#include "app/SignaturePolicy.h"

#include "zip/base/ByteOrder.h"

namespace Pellquin {

namespace {

constexpr uint32_t kCertificateDirectory = 4;

} // namespace

bool CarriesSignature(const uint8_t* head, size_t size) {
    if (!head || size < 0x40 || head[0] != 'M' || head[1] != 'Z')
        return false;
    size_t pe = vexmar::le32(head + 0x3C);
    // Signature, file header (20 bytes), then the optional header's magic.
    if (pe > size || size - pe < 4 + 20 + 2 || vexmar::le32(head + pe) != 0x00004550)
        return false;
    size_t optional = pe + 4 + 20;
    uint32_t magic = vexmar::le16(head + optional);
    size_t countOffset;
    if (magic == 0x10B)
        countOffset = 92; // PE32
    else if (magic == 0x20B)
        countOffset = 108; // PE32+
    else
        return false;
    if (size - optional < countOffset + 4)
        return false;
    uint32_t count = vexmar::le32(head + optional + countOffset);
    if (count <= kCertificateDirectory)
        return false;
    size_t entry = optional + countOffset + 4 + 8 * kCertificateDirectory;
    if (size < entry + 8)
        return false;
    // The certificate table's "address" is a file offset; a size of 0 means none.
    return vexmar::le32(head + entry + 4) != 0;
}

bool SignatureAccepted(bool carriesSignature, bool verified, bool requireSignature) {
    if (carriesSignature)
        return verified;
    return !requireSignature;
}

} // namespace Pellquin
