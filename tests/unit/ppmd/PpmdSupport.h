// Helpers of the PPMd tests: a recording log, a memory output, sample data, ZIP entries read
// back from an archive image, and 7-Zip as the reference encoder.
#pragma once

#include "tests/support/RecordingLog.h"
#include "tests/support/VectorOutput.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

enum class Sample { kText, kBinary, kMixed };

// Reproducible data: words and numbers, structured binary records with noise, or both in turns.
Bytes sampleData(Sample kind, size_t size, uint32_t seed);

// One entry of an archive image: what its central header says and its stored bytes.
struct ZipEntry {
    std::string name;
    uint16_t method = 0;
    uint32_t crc32 = 0;
    uint64_t uncompressedSize = 0;
    Bytes stored; // for method 98: the 2-byte header, then the PPMd data
};

std::vector<ZipEntry> zipEntries(const Bytes& archive);
Bytes readFile(const std::string& path);
uint32_t crc32Of(const Bytes& data);

// 7-Zip's PPMd parameters: order, sub-allocator megabytes, restoration method (0 restart,
// 1 cut-off).
struct PpmdParams {
    unsigned order;
    unsigned megabytes;
    unsigned restoration;
};

bool sevenZipAvailable();
// The entry 7zz makes of `data` with method 98: header and PPMd data. Empty when 7zz fails.
std::optional<ZipEntry> sevenZipPpmd(const Bytes& data, const PpmdParams& params);
