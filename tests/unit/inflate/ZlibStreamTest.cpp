// Streams made by zlib, decoded whole and in chunks of random sizes down to single bytes.
#include "InflateSupport.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

struct StreamCase {
    const char* name;
    Sample sample;
    size_t size;
    int level;
    int strategy;
    uint32_t maxChunk;
};

// Level 0 gives stored blocks, Z_FIXED fixed-code blocks, the others dynamic blocks; sizes run
// from nothing to several window slides.
const StreamCase kStreamCases[] = {
    {"empty", Sample::kText, 0, 6, Z_DEFAULT_STRATEGY, 0},
    {"oneByte", Sample::kText, 1, 6, Z_DEFAULT_STRATEGY, 1},
    {"storedSmall", Sample::kMixed, 1000, 0, Z_DEFAULT_STRATEGY, 7},
    {"storedLarge", Sample::kRandom, 700000, 0, Z_DEFAULT_STRATEGY, 40000},
    {"fixedText", Sample::kText, 100000, 6, Z_FIXED, 1},
    {"fixedRuns", Sample::kRuns, 600000, 9, Z_FIXED, 5000},
    {"dynamicText1", Sample::kText, 300000, 1, Z_DEFAULT_STRATEGY, 300},
    {"dynamicText6", Sample::kText, 1500000, 6, Z_DEFAULT_STRATEGY, 32768},
    {"dynamicText9", Sample::kText, 200000, 9, Z_DEFAULT_STRATEGY, 1},
    {"dynamicMixed", Sample::kMixed, 2000000, 6, Z_DEFAULT_STRATEGY, 100000},
    {"huffmanOnly", Sample::kText, 200000, 6, Z_HUFFMAN_ONLY, 3000},
    {"runLength", Sample::kRuns, 500000, 6, Z_RLE, 20},
    {"random", Sample::kRandom, 300000, 9, Z_DEFAULT_STRATEGY, 64},
};

class ZlibStreams : public ::testing::TestWithParam<StreamCase> {};

TEST_P(ZlibStreams, DecodeToTheOriginalInAnyChunking) {
    const StreamCase& c = GetParam();
    const Bytes data = sampleData(c.sample, c.size, 7);
    const Bytes stream = zlibCompress(data, c.level, false, c.strategy);
    for (bool placed : {false, true})
        for (bool fast : {true, false}) {
            SCOPED_TRACE(std::string(fast ? "fast path" : "careful path only") +
                         (placed ? ", in the output's room" : ""));
            // In the output's room the history of each chunk is the output itself.
            const DecodeResult r = decodeChunked(
                stream, {.fastPath = fast,
                         .maxChunk = c.maxChunk,
                         .outputLimit = placed ? data.size() : UINT64_MAX,
                         .placed = placed});
            ASSERT_TRUE(r.ok) << (r.log.errors.empty() ? "" : r.log.errors.front());
            EXPECT_TRUE(r.finished);
            EXPECT_EQ(r.consumed, stream.size());
            EXPECT_TRUE(r.output == data) << "output differs, " << r.output.size() << " bytes";
            EXPECT_EQ(r.placedWrites > 0, placed && !data.empty());
            EXPECT_TRUE(r.guardIntact);
        }
}

INSTANTIATE_TEST_SUITE_P(Inflate, ZlibStreams, ::testing::ValuesIn(kStreamCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ZlibStreams, EveryChunkBoundaryOfASmallStream) {
    // Whatever the split, including the final code straddling it or ending right at it.
    const Bytes data = sampleData(Sample::kText, 3000, 3);
    const Bytes stream = zlibCompress(data, 9);
    for (size_t split = 1; split < stream.size(); ++split) {
        InflateState state;
        state.setState(InflateState::kBlockHeader);
        VectorOutput output;
        RecordingLog log;
        uint32_t leftover = 0;
        ASSERT_TRUE(
            state.inflateBlock(stream.data(), uint32_t(split), leftover, output, nullptr, log));
        ASSERT_FALSE(state.isFinished()) << split;
        ASSERT_TRUE(state.inflateBlock(stream.data() + split, uint32_t(stream.size() - split),
                                       leftover, output, nullptr, log));
        ASSERT_TRUE(state.isFinished()) << split;
        EXPECT_EQ(leftover, 0u);
        ASSERT_TRUE(output.written == data) << split;
    }
}

TEST(ZlibStreams, LeftoverCountsTheBytesAfterTheStream) {
    const Bytes data = sampleData(Sample::kMixed, 50000, 4);
    Bytes stream = zlibCompress(data, 6);
    const size_t streamSize = stream.size();
    const Bytes trailing = {'P', 'K', 3, 4, 9, 9, 9};
    stream.insert(stream.end(), trailing.begin(), trailing.end());
    for (uint32_t maxChunk : {0u, 1u, 5u, 1000u}) {
        const DecodeResult r = decodeChunked(stream, {.maxChunk = maxChunk, .seed = maxChunk});
        ASSERT_TRUE(r.ok && r.finished);
        EXPECT_EQ(r.consumed, streamSize) << maxChunk;
        EXPECT_TRUE(r.output == data);
    }
}

TEST(ZlibStreams, OutputIsHandedOnPerChunkAndInLargePieces) {
    const Bytes data = sampleData(Sample::kText, 2000000, 5);
    const Bytes stream = zlibCompress(data, 6);
    InflateState state;
    state.setState(InflateState::kBlockHeader);
    VectorOutput output;
    RecordingLog log;
    uint32_t leftover = 0;
    ASSERT_TRUE(state.inflateBlock(stream.data(), 100, leftover, output, nullptr, log));
    EXPECT_EQ(output.writes, 1); // what the first chunk gave is out already
    ASSERT_TRUE(state.inflateBlock(stream.data() + 100, uint32_t(stream.size() - 100), leftover,
                                   output, nullptr, log));
    EXPECT_TRUE(output.written == data);
    EXPECT_LE(output.writes, 1 + int(data.size() / InflateWindow::kAreaSize) + 1);
}

} // namespace
