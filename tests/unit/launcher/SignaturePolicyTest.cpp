// The launcher's rules for its own signature: finding the certificate table in the
// image's headers, and which images may run.
#include "app/SignaturePolicy.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

constexpr size_t kPeOffset = 0x80;

void put32(std::vector<uint8_t>& image, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        image[at + i] = uint8_t(value >> (8 * i));
}

// Just the headers of an image: MZ, the PE signature, a file header and an optional
// header of the given magic with `directories` data directories, the certificate
// table's size set to `certificateSize`.
std::vector<uint8_t> headers(uint16_t magic, uint32_t directories, uint32_t certificateSize) {
    std::vector<uint8_t> image(1024, 0);
    image[0] = 'M';
    image[1] = 'Z';
    put32(image, 0x3C, uint32_t(kPeOffset));
    put32(image, kPeOffset, 0x00004550);
    size_t optional = kPeOffset + 24;
    image[optional] = uint8_t(magic);
    image[optional + 1] = uint8_t(magic >> 8);
    size_t count = optional + (magic == 0x20B ? 108 : 92);
    put32(image, count, directories);
    put32(image, count + 4 + 8 * 4, 0x5000);              // the table's file offset
    put32(image, count + 4 + 8 * 4 + 4, certificateSize); // and its size
    return image;
}

TEST(SignaturePolicy, FindsTheCertificateTable) {
    struct Case {
        const char* what;
        uint16_t magic;
        uint32_t directories;
        uint32_t certificateSize;
        bool carries;
    };
    const Case cases[] = {
        {"PE32 signed", 0x10B, 16, 0x600, true},
        {"PE32+ signed", 0x20B, 16, 0x600, true},
        {"PE32 unsigned", 0x10B, 16, 0, false},
        {"PE32+ unsigned", 0x20B, 16, 0, false},
        // Fewer directories than the certificate table's index: the entry is not there.
        {"four directories", 0x10B, 4, 0x600, false},
        {"unknown magic", 0x107, 16, 0x600, false},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> image = headers(c.magic, c.directories, c.certificateSize);
        EXPECT_EQ(Pellquin::CarriesSignature(image.data(), image.size()), c.carries) << c.what;
    }
}

TEST(SignaturePolicy, HeadersThatAreNotThereCarryNothing) {
    std::vector<uint8_t> image = headers(0x20B, 16, 0x600);
    // Cut inside the data directories, inside the PE header, before e_lfanew.
    for (size_t size : {size_t(kPeOffset + 24 + 108 + 4 + 36), size_t(kPeOffset + 10), size_t(32)})
        EXPECT_FALSE(Pellquin::CarriesSignature(image.data(), size)) << size;
    // e_lfanew pointing far beyond the bytes read.
    put32(image, 0x3C, 0xFFFFFFF0);
    EXPECT_FALSE(Pellquin::CarriesSignature(image.data(), image.size()));
    std::vector<uint8_t> notPe = headers(0x10B, 16, 0x600);
    notPe[kPeOffset] = 'X';
    EXPECT_FALSE(Pellquin::CarriesSignature(notPe.data(), notPe.size()));
    EXPECT_FALSE(Pellquin::CarriesSignature(nullptr, 0));
}

TEST(SignaturePolicy, WhichImagesRun) {
    struct Case {
        bool carries, verified, required, runs;
    };
    const Case cases[] = {
        {true, true, false, true},   {true, true, true, true},
        {true, false, false, false}, {true, false, true, false}, // a broken signature never runs
        {false, false, false, true},                             // development builds run
        {false, false, true, false},                             // unless a signature is required
    };
    for (const Case& c : cases)
        EXPECT_EQ(Pellquin::SignatureAccepted(c.carries, c.verified, c.required), c.runs)
            << c.carries << c.verified << c.required;
}

} // namespace
