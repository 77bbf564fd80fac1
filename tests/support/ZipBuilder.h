// Builds ZIP images for tests, byte by byte, with every field under the test's control.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testzip {

struct Entry {
    std::string name{};
    std::string data{}; // the stored bytes (already compressed when method != 0)
    uint16_t method = 0;
    uint16_t flags = 0;
    uint16_t versionMadeBy = 20;
    uint16_t dosTime = 0x6000;                // 12:00:00
    uint16_t dosDate = 0x5A21;                // 2025-01-01
    std::optional<uint32_t> crc32{};            // default: CRC-32 of data
    std::optional<uint32_t> compressedSize{};   // default: data size
    std::optional<uint32_t> uncompressedSize{}; // default: data size
    std::optional<uint32_t> localOffset{};      // default: where the local header lands
    uint32_t externalAttributes = 0;
    std::string centralExtra{};
    std::string localExtra{};
    std::string comment{};
};

struct Options {
    std::string prefix;                 // bytes before the first local header
    std::string comment;                // archive comment
    std::string suffix;                 // bytes after the end record
    std::optional<uint16_t> entryCount; // default: number of entries
    std::optional<uint32_t> centralDirOffset;
    bool zip64 = false; // Zip64 end record and locator
    std::optional<uint64_t> zip64EntryCount;
    bool saturateEndRecord = false; // 16/32-bit fields all FF, values in Zip64 only
};

std::string build(const std::vector<Entry>& entries, const Options& options = {});

// Little-endian field writers and an extra field (id, length, data).
std::string le16(uint16_t v);
std::string le32(uint32_t v);
std::string le64(uint64_t v);
std::string extraField(uint16_t id, const std::string& data);

uint32_t crc32(const std::string& data);

} // namespace testzip
