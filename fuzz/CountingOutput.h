// An output that only counts what it is given, for fuzz targets that check how much came out.
#pragma once

#include "zip/base/stream/Output.h"

#include <cstdint>

class CountingOutput : public vexmar::Output {
public:
    CountingOutput() : vexmar::Output(kMemory) {}
    bool writeRaw(const uint8_t*, uint64_t length, vexmar::ProgressMonitor*,
                  vexmar::LogBase&) override {
        bytes += length;
        return true;
    }
    uint64_t bytes = 0;
};
