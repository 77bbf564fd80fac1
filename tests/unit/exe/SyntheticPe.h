// A small executable image built in memory, with every field at a known place,
// for tests that corrupt one field at a time. Layout (PE32 or PE32+):
//   0x000 DOS header, NT headers at 0x40, three section headers
//   .text  VA 0x1000, file 0x200, 0x200 bytes
//   .rsrc  VA 0x2000, file 0x400, 0x200 bytes: root -> type 10 -> "NAME" -> language 1
//   .reloc VA 0x3000, file 0x600, 0x200 bytes (the base-relocation directory)
//   overlay "TAIL" at 0x800
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace synthetic {

constexpr uint32_t kNtOffset = 0x40;
constexpr uint32_t kRsrcFile = 0x400;
constexpr uint32_t kRsrcVa = 0x2000;
// Offsets inside the resource section.
constexpr uint32_t kRootTable = 0;
constexpr uint32_t kTypeTable = 24;
constexpr uint32_t kNameTable = 48;
constexpr uint32_t kDataEntry = 72;
constexpr uint32_t kNameString = 88;
constexpr uint32_t kData = 100;
inline const std::string kPayload = "payload!";

inline void put16(std::string& b, size_t at, uint16_t v) {
    b[at] = char(v);
    b[at + 1] = char(v >> 8);
}
inline void put32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(v >> (8 * i));
}
inline uint32_t get32(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | uint8_t(b[at + i]);
    return v;
}

inline uint32_t optionalHeader() {
    return kNtOffset + 24;
}
inline uint32_t optionalSize(bool plus) {
    return plus ? 240 : 224;
}
inline uint32_t dataDirectory(bool plus, uint32_t index) {
    return optionalHeader() + (plus ? 112 : 96) + 8 * index;
}
inline uint32_t sectionHeader(bool plus, uint32_t index) {
    return optionalHeader() + optionalSize(plus) + 40 * index;
}

inline std::string image(bool plus) {
    std::string b(0x800, '\0');
    b += "TAIL";
    b[0] = 'M';
    b[1] = 'Z';
    put32(b, 60, kNtOffset);
    std::memcpy(&b[kNtOffset], "PE\0\0", 4);
    put16(b, kNtOffset + 4, plus ? 0x8664 : 0x14C);
    put16(b, kNtOffset + 6, 3);
    put16(b, kNtOffset + 20, uint16_t(optionalSize(plus)));
    const uint32_t opt = optionalHeader();
    put16(b, opt, plus ? 0x20B : 0x10B);
    put32(b, opt + 32, 0x1000); // SectionAlignment
    put32(b, opt + 36, 0x200);  // FileAlignment
    put32(b, opt + 56, 0x4000); // SizeOfImage
    put32(b, opt + 60, 0x200);  // SizeOfHeaders
    put32(b, opt + (plus ? 108 : 92), 16);
    put32(b, dataDirectory(plus, 2), kRsrcVa);
    put32(b, dataDirectory(plus, 2) + 4, kData + uint32_t(kPayload.size()));
    put32(b, dataDirectory(plus, 5), 0x3000);
    put32(b, dataDirectory(plus, 5) + 4, 8);

    const char* names[] = {".text", ".rsrc", ".reloc"};
    for (uint32_t i = 0; i < 3; ++i) {
        const uint32_t h = sectionHeader(plus, i);
        std::memcpy(&b[h], names[i], std::strlen(names[i]));
        put32(b, h + 8, 0x100);             // VirtualSize
        put32(b, h + 12, 0x1000 * (i + 1)); // VirtualAddress
        put32(b, h + 16, 0x200);            // SizeOfRawData
        put32(b, h + 20, 0x200 * (i + 1));  // PointerToRawData
    }
    std::memset(&b[0x200], 0xC3, 0x100);
    std::memset(&b[0x600], 0x11, 8);

    const uint32_t r = kRsrcFile;
    put16(b, r + kRootTable + 14, 1); // one id entry: type 10
    put32(b, r + kRootTable + 16, 10);
    put32(b, r + kRootTable + 20, 0x80000000 | kTypeTable);
    put16(b, r + kTypeTable + 12, 1); // one named entry: "NAME"
    put32(b, r + kTypeTable + 16, 0x80000000 | kNameString);
    put32(b, r + kTypeTable + 20, 0x80000000 | kNameTable);
    put16(b, r + kNameTable + 14, 1); // one id entry: language 1
    put32(b, r + kNameTable + 16, 1);
    put32(b, r + kNameTable + 20, kDataEntry);
    put32(b, r + kDataEntry, kRsrcVa + kData);
    put32(b, r + kDataEntry + 4, uint32_t(kPayload.size()));
    put16(b, r + kNameString, 4);
    for (int i = 0; i < 4; ++i)
        put16(b, r + kNameString + 2 + 2 * i, uint16_t("NAME"[i]));
    std::memcpy(&b[r + kData], kPayload.data(), kPayload.size());
    return b;
}

} // namespace synthetic
