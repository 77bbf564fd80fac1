// Helpers of the PPMd tests: a recording log, a memory output, sample data, ZIP entries read
// back from an archive image, and 7-Zip as the reference encoder.
#pragma once

#include "zip/base/LogBase.h"
#include "zip/base/stream/Output.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

class RecordingLog : public LogBase {
public:
    bool logError(const char* message) override {
        errors.emplace_back(message);
        return true;
    }
    bool logData(const char* name, const char* value) override {
        data[name] = value;
        return true;
    }
    bool hasError(const std::string& message) const {
        return std::find(errors.begin(), errors.end(), message) != errors.end();
    }

    std::vector<std::string> errors;
    std::map<std::string, std::string> data;
};

// Collects what is written; writes fail once `failAfter` bytes have gone through.
class VectorOutput : public Output {
public:
    VectorOutput() : Output(kMemory) {}
    bool writeRaw(const uint8_t* bytes, uint64_t length, ProgressMonitor*, LogBase&) override {
        if (length > failAfter - written.size())
            return false;
        written.insert(written.end(), bytes, bytes + length);
        writeSizes.push_back(length);
        return true;
    }

    Bytes written;
    std::vector<uint64_t> writeSizes;
    uint64_t failAfter = UINT64_MAX;
};

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
