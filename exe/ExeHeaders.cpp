#include "exe/ExeHeaders.h"

#include "exe/PeFormat.h"

#include <cstring>

namespace vexmar {

using namespace pe;

uint32_t ExeDosHeader::lfanew() const {
    return le32(bytes + kLfanewOffset);
}

uint16_t ExeNtHeader::optionalHeaderSize(const uint8_t* p) {
    return le16(p + kSizeOfOptionalHeader);
}

uint32_t ExeNtHeader::fixedOptionalSize(uint16_t magic) {
    switch (magic) {
    case kMagicPe32:
        return kDataDirectoriesPe32;
    case kMagicPe32Plus:
        return kDataDirectoriesPe32Plus;
    default:
        return 0;
    }
}

void ExeNtHeader::assign(const uint8_t* p) {
    bytes_.assign(p, p + kOptionalHeader + optionalHeaderSize(p));
}

bool ExeNtHeader::isPe32Plus() const {
    return le16(optional()) == kMagicPe32Plus;
}

uint16_t ExeNtHeader::numberOfSections() const {
    return le16(bytes_.data() + kNumberOfSections);
}

uint16_t ExeNtHeader::sizeOfOptionalHeader() const {
    return optionalHeaderSize(bytes_.data());
}

uint32_t ExeNtHeader::pointerToSymbolTable() const {
    return le32(bytes_.data() + kPointerToSymbolTable);
}

void ExeNtHeader::setPointerToSymbolTable(uint32_t offset) {
    putLe32(bytes_.data() + kPointerToSymbolTable, offset);
}

uint32_t ExeNtHeader::sectionAlignment() const {
    return le32(optional() + kSectionAlignment);
}

uint32_t ExeNtHeader::fileAlignment() const {
    return le32(optional() + kFileAlignment);
}

uint32_t ExeNtHeader::sizeOfImage() const {
    return le32(optional() + kSizeOfImage);
}

void ExeNtHeader::setSizeOfImage(uint32_t size) {
    putLe32(optional() + kSizeOfImage, size);
}

uint32_t ExeNtHeader::directoriesOffset() const {
    return isPe32Plus() ? kDataDirectoriesPe32Plus : kDataDirectoriesPe32;
}

uint32_t ExeNtHeader::numDataDirectories() const {
    const uint32_t declared =
        le32(optional() + (isPe32Plus() ? kNumberOfRvaAndSizesPe32Plus : kNumberOfRvaAndSizesPe32));
    const uint32_t room = (sizeOfOptionalHeader() - directoriesOffset()) / kDataDirectorySize;
    return declared < room ? declared : room;
}

ExeDataDirectory ExeNtHeader::dataDirectory(uint32_t index) const {
    if (index >= numDataDirectories())
        return {};
    const uint8_t* p = optional() + directoriesOffset() + index * kDataDirectorySize;
    return {le32(p), le32(p + 4)};
}

void ExeNtHeader::setDataDirectory(uint32_t index, ExeDataDirectory directory) {
    if (index >= numDataDirectories())
        return;
    uint8_t* p = optional() + directoriesOffset() + index * kDataDirectorySize;
    putLe32(p, directory.rva);
    putLe32(p + 4, directory.size);
}

ExeSection ExeSection::read(const uint8_t* p) {
    ExeSection s;
    std::memcpy(s.name, p, sizeof s.name);
    s.virtualSize = le32(p + 8);
    s.virtualAddress = le32(p + 12);
    s.sizeOfRawData = le32(p + 16);
    s.pointerToRawData = le32(p + 20);
    std::memcpy(s.rest, p + 24, sizeof s.rest);
    return s;
}

void ExeSection::write(uint8_t* p) const {
    std::memcpy(p, name, sizeof name);
    putLe32(p + 8, virtualSize);
    putLe32(p + 12, virtualAddress);
    putLe32(p + 16, sizeOfRawData);
    putLe32(p + 20, pointerToRawData);
    std::memcpy(p + 24, rest, sizeof rest);
}

bool ExeSection::hasName(const char* wanted) const {
    const size_t n = std::strlen(wanted);
    return n <= sizeof name && std::memcmp(name, wanted, n) == 0 &&
           (n == sizeof name || name[n] == 0);
}

std::string ExeSection::displayName() const {
    const void* nul = std::memchr(name, 0, sizeof name);
    const size_t n = nul ? size_t(static_cast<const uint8_t*>(nul) - name) : sizeof name;
    return std::string(reinterpret_cast<const char*>(name), n);
}

} // namespace vexmar
