// An output that collects what is written in memory, for tests of decoders and adapters.
#pragma once

#include "zip/base/stream/Output.h"

#include <cstdint>
#include <vector>

// A write that would take the total past `capacity` bytes fails.
class VectorOutput : public vexmar::Output {
public:
    VectorOutput() : vexmar::Output(kMemory) {}
    bool writeRaw(const uint8_t* bytes, uint64_t length, vexmar::ProgressMonitor*,
                  vexmar::LogBase&) override {
        if (length > capacity - written.size())
            return false;
        written.insert(written.end(), bytes, bytes + length);
        writeSizes.push_back(length);
        ++writes;
        return true;
    }

    std::vector<uint8_t> written;
    std::vector<uint64_t> writeSizes;
    int writes = 0;
    uint64_t capacity = UINT64_MAX;
};
