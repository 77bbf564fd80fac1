#include "SampleData.h"

#include <bzlib.h>
#include <gtest/gtest.h>

namespace {

std::vector<unsigned char> compress(const std::vector<unsigned char>& input) {
    // The documented worst case: 1% larger plus 600 bytes.
    std::vector<unsigned char> out(input.size() + input.size() / 100 + 600);
    unsigned int outLen = static_cast<unsigned int>(out.size());
    int rc =
        BZ2_bzBuffToBuffCompress(reinterpret_cast<char*>(out.data()), &outLen,
                                 const_cast<char*>(reinterpret_cast<const char*>(input.data())),
                                 static_cast<unsigned int>(input.size()), 1, 0, 0);
    EXPECT_EQ(rc, BZ_OK);
    out.resize(outLen);
    return out;
}

// Decodes the way the archive engine does: a stream, 20000 output bytes at a time.
int decompressInPieces(std::vector<unsigned char> input, std::vector<unsigned char>& out) {
    bz_stream stream{};
    EXPECT_EQ(BZ2_bzDecompressInit(&stream, 0, 0), BZ_OK);
    stream.next_in = reinterpret_cast<char*>(input.data());
    stream.avail_in = static_cast<unsigned int>(input.size());
    int rc = BZ_OK;
    while (rc == BZ_OK) {
        char piece[20000];
        stream.next_out = piece;
        stream.avail_out = sizeof piece;
        rc = BZ2_bzDecompress(&stream);
        out.insert(out.end(), piece, piece + (sizeof piece - stream.avail_out));
        if (rc == BZ_OK && stream.avail_in == 0 && stream.avail_out != 0)
            break; // input used up before the end of the stream
    }
    BZ2_bzDecompressEnd(&stream);
    return rc;
}

TEST(Bzip2, BufferRoundTrip) {
    const auto input = sampleData();
    auto packed = compress(input);
    ASSERT_LT(packed.size(), input.size());

    std::vector<unsigned char> out(input.size());
    unsigned int outLen = static_cast<unsigned int>(out.size());
    ASSERT_EQ(BZ2_bzBuffToBuffDecompress(reinterpret_cast<char*>(out.data()), &outLen,
                                         reinterpret_cast<char*>(packed.data()),
                                         static_cast<unsigned int>(packed.size()), 0, 0),
              BZ_OK);
    out.resize(outLen);
    EXPECT_EQ(out, input);
}

TEST(Bzip2, StreamDecodesInPieces) {
    const auto input = sampleData();
    std::vector<unsigned char> out;
    EXPECT_EQ(decompressInPieces(compress(input), out), BZ_STREAM_END);
    EXPECT_EQ(out, input);
}

TEST(Bzip2, DamagedStreamIsRejected) {
    const auto input = sampleData();
    auto packed = compress(input);
    packed[packed.size() / 2] ^= 0x10;
    std::vector<unsigned char> out;
    EXPECT_EQ(decompressInPieces(packed, out), BZ_DATA_ERROR);
}

TEST(Bzip2, TruncatedStreamNeverEnds) {
    auto packed = compress(sampleData());
    packed.resize(packed.size() - 10);
    std::vector<unsigned char> out;
    EXPECT_EQ(decompressInPieces(packed, out), BZ_OK);
}

} // namespace
