// Copies of an executable's headers: the ones the writer edits and writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexmar {

// The 64-byte DOS header.
struct ExeDosHeader {
    uint8_t bytes[64] = {};

    // Where the NT headers start.
    uint32_t lfanew() const;
};

struct ExeDataDirectory {
    uint32_t rva = 0;
    uint32_t size = 0;
};

// The signature, the file header and the optional header as one block, read and
// written in the layout (PE32 or PE32+) that the optional header's magic names.
class ExeNtHeader {
public:
    // The optional header's size from the file header at `p` (24 bytes readable).
    static uint16_t optionalHeaderSize(const uint8_t* p);
    // The fixed part of the optional header for a magic, before the data
    // directories; 0 for a magic this reader does not know.
    static uint32_t fixedOptionalSize(uint16_t magic);

    // Copies 24 + SizeOfOptionalHeader bytes from `p`. The caller has checked
    // that they are readable and that the optional header holds its fixed part.
    void assign(const uint8_t* p);

    const uint8_t* data() const { return bytes_.data(); }
    uint32_t size() const { return uint32_t(bytes_.size()); }
    bool isPe32Plus() const;

    uint16_t numberOfSections() const;
    uint16_t sizeOfOptionalHeader() const;
    uint32_t pointerToSymbolTable() const;
    void setPointerToSymbolTable(uint32_t offset);
    uint32_t sectionAlignment() const;
    uint32_t fileAlignment() const;
    uint32_t sizeOfImage() const;
    void setSizeOfImage(uint32_t size);

    // The directories present: NumberOfRvaAndSizes, cut to what the optional header holds.
    uint32_t numDataDirectories() const;
    // A directory that is not present reads as empty; setting one is ignored.
    ExeDataDirectory dataDirectory(uint32_t index) const;
    void setDataDirectory(uint32_t index, ExeDataDirectory directory);

private:
    uint8_t* optional() { return bytes_.data() + 24; }
    const uint8_t* optional() const { return bytes_.data() + 24; }
    uint32_t directoriesOffset() const;

    std::vector<uint8_t> bytes_;
};

// One 40-byte section header.
struct ExeSection {
    uint8_t name[8] = {};
    uint32_t virtualSize = 0;
    uint32_t virtualAddress = 0;
    uint32_t sizeOfRawData = 0;
    uint32_t pointerToRawData = 0;
    uint8_t rest[16] = {}; // relocation and line-number fields, characteristics

    static ExeSection read(const uint8_t* p);
    void write(uint8_t* p) const;

    bool hasName(const char* wanted) const;
    // The name as text, for the log.
    std::string displayName() const;
    // The extent in memory: a VirtualSize of 0 stands for SizeOfRawData.
    uint32_t virtualExtent() const { return virtualSize ? virtualSize : sizeOfRawData; }
    bool containsRva(uint32_t rva) const {
        return rva >= virtualAddress && rva - virtualAddress < virtualExtent();
    }
    bool hasRawData() const { return pointerToRawData != 0 && sizeOfRawData != 0; }
    uint64_t rawEnd() const { return uint64_t(pointerToRawData) + sizeOfRawData; }
};

} // namespace vexmar
