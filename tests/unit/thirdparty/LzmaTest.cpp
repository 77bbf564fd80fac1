#include "SampleData.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <lzma.h>

namespace {

// ZIP's LZMA entries carry raw LZMA1 data behind 5 property bytes (lc/lp/pb and
// the dictionary size). The raw encoder ends its data with the end-of-payload marker.
struct Packed {
    std::vector<unsigned char> properties;
    std::vector<unsigned char> data;
};

Packed compress(const std::vector<unsigned char>& input) {
    lzma_options_lzma options;
    EXPECT_FALSE(lzma_lzma_preset(&options, 6));
    lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};

    Packed packed;
    uint32_t propertySize = 0;
    EXPECT_EQ(lzma_properties_size(&propertySize, filters), LZMA_OK);
    packed.properties.resize(propertySize);
    EXPECT_EQ(lzma_properties_encode(filters, packed.properties.data()), LZMA_OK);

    lzma_stream stream = LZMA_STREAM_INIT;
    EXPECT_EQ(lzma_raw_encoder(&stream, filters), LZMA_OK);
    packed.data.resize(input.size() + input.size() / 2 + 4096);
    stream.next_in = input.data();
    stream.avail_in = input.size();
    stream.next_out = packed.data.data();
    stream.avail_out = packed.data.size();
    EXPECT_EQ(lzma_code(&stream, LZMA_FINISH), LZMA_STREAM_END);
    packed.data.resize(stream.total_out);
    lzma_end(&stream);
    return packed;
}

// Decodes as the archive engine does: filter options from the property bytes.
lzma_ret decompress(const Packed& packed, std::vector<unsigned char>& out, size_t outSize) {
    lzma_filter filters[] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    EXPECT_EQ(lzma_properties_decode(&filters[0], nullptr, packed.properties.data(),
                                     packed.properties.size()),
              LZMA_OK);
    lzma_stream stream = LZMA_STREAM_INIT;
    lzma_ret rc = lzma_raw_decoder(&stream, filters);
    std::free(filters[0].options);
    if (rc != LZMA_OK)
        return rc;
    out.resize(outSize);
    stream.next_in = packed.data.data();
    stream.avail_in = packed.data.size();
    stream.next_out = out.data();
    stream.avail_out = out.size();
    rc = lzma_code(&stream, LZMA_FINISH);
    out.resize(stream.total_out);
    lzma_end(&stream);
    return rc;
}

TEST(Lzma, RawLzma1RoundTrip) {
    const auto input = sampleData();
    const Packed packed = compress(input);
    ASSERT_EQ(packed.properties.size(), 5u);
    ASSERT_LT(packed.data.size(), input.size());

    std::vector<unsigned char> out;
    EXPECT_EQ(decompress(packed, out, input.size() + 1), LZMA_STREAM_END);
    EXPECT_EQ(out, input);
}

TEST(Lzma, TruncatedDataDoesNotReachTheEnd) {
    const auto input = sampleData();
    Packed packed = compress(input);
    packed.data.resize(packed.data.size() / 2);
    std::vector<unsigned char> out;
    EXPECT_NE(decompress(packed, out, input.size()), LZMA_STREAM_END);
    EXPECT_LT(out.size(), input.size());
}

} // namespace
