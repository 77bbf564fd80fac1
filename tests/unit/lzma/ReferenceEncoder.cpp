#include "ReferenceEncoder.h"

#include <gtest/gtest.h>
#include <lzma.h>

Encoded encodeLzma(const Bytes& input, const EncodeOptions& options) {
    lzma_options_lzma lzma;
    EXPECT_FALSE(lzma_lzma_preset(&lzma, 6));
    lzma.lc = options.lc;
    lzma.lp = options.lp;
    lzma.pb = options.pb;
    lzma.dict_size = options.dictionary;
    // The extended filter writes the end marker only when told to; the plain one always does.
    lzma.ext_flags = options.endMarker ? LZMA_LZMA1EXT_ALLOW_EOPM : 0;
    lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &lzma}, {LZMA_VLI_UNKNOWN, nullptr}};

    Encoded encoded;
    encoded.properties.resize(5);
    lzma_filter plain[] = {{LZMA_FILTER_LZMA1, &lzma}, {LZMA_VLI_UNKNOWN, nullptr}};
    EXPECT_EQ(lzma_properties_encode(plain, encoded.properties.data()), LZMA_OK);

    lzma_stream stream = LZMA_STREAM_INIT;
    EXPECT_EQ(lzma_raw_encoder(&stream, filters), LZMA_OK);
    encoded.stream.resize(input.size() + input.size() / 2 + 4096);
    stream.next_in = input.data();
    stream.avail_in = input.size();
    stream.next_out = encoded.stream.data();
    stream.avail_out = encoded.stream.size();
    EXPECT_EQ(lzma_code(&stream, LZMA_FINISH), LZMA_STREAM_END);
    encoded.stream.resize(stream.total_out);
    lzma_end(&stream);
    return encoded;
}

Bytes zipLzmaEntry(const Encoded& encoded) {
    Bytes entry = {0x10, 0x02, 5, 0};
    entry.insert(entry.end(), encoded.properties.begin(), encoded.properties.end());
    entry.insert(entry.end(), encoded.stream.begin(), encoded.stream.end());
    return entry;
}

Bytes lzmaBlock(const Encoded& encoded, std::optional<uint64_t> size) {
    Bytes block = encoded.properties;
    const uint64_t stated = size ? *size : UINT64_MAX;
    for (int i = 0; i < 8; ++i)
        block.push_back(static_cast<uint8_t>(stated >> (8 * i)));
    block.insert(block.end(), encoded.stream.begin(), encoded.stream.end());
    return block;
}
