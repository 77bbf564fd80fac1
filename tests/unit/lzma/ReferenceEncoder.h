// liblzma's raw LZMA1 encoder, the yardstick our decoder is checked against, and the two
// containers the engine reads: ZIP method 14 entries and .lzma blocks.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

using Bytes = std::vector<uint8_t>;

struct EncodeOptions {
    uint32_t lc = 3;
    uint32_t lp = 0;
    uint32_t pb = 2;
    uint32_t dictionary = 1u << 20;
    bool endMarker = true;
};

struct Encoded {
    Bytes properties; // the 5 property bytes
    Bytes stream;     // the raw stream after them
};

// Fails the calling test when liblzma refuses the options.
Encoded encodeLzma(const Bytes& input, const EncodeOptions& options);

// Version (2 bytes), properties size (2 bytes), properties, stream.
Bytes zipLzmaEntry(const Encoded& encoded);
// Properties, the size (64 bits; all ones without one), stream.
Bytes lzmaBlock(const Encoded& encoded, std::optional<uint64_t> size);
