// Runs of the engine's two LZMA entry points over test bytes: ZIP entries from a source that
// hands out at most a given number of bytes a read, and .lzma blocks in memory.
#pragma once

#include "ReferenceEncoder.h"
#include "tests/support/RecordingLog.h"

#include <cstdint>
#include <string>

struct EntryRun {
    bool ok = false;
    Bytes out;
    uint64_t largestWrite = 0;
    LogRecord log;
};

// `piece` 0: the source hands out all it can. The output takes at most `size` bytes.
EntryRun decodeEntry(const Bytes& entry, uint64_t size, uint32_t piece);

// Whether the block unpacks to `size` bytes, and those are `expected` when given.
bool unpackBlock(const Bytes& block, size_t size, const Bytes* expected = nullptr);

// Test inputs, the same every run.
Bytes textSample(size_t size);
Bytes randomSample(size_t size, uint32_t seed);
// Long runs of one byte and a short pattern repeated many times: lengths up to the longest.
Bytes repeatSample(size_t size);
