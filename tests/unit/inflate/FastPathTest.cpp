// The fast loop against the careful state machine alone: on damaged and random streams both
// must produce the same bytes, stop at the same place and fail with the same error. Both builds
// of the fast loop are held to it: the portable one, and the one the processor runs (with BMI2
// where it has it).
#include "InflateSupport.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace vexmar;

namespace {

// Also in the output's room, whose end the loops must not write past: the limit is small
// enough that many damaged streams reach it.
void expectSameDecoding(const Bytes& stream, DecodeOptions options, const std::string& what) {
    for (bool placed : {false, true}) {
        options.placed = placed;
        options.outputLimit = placed ? 150000 : UINT64_MAX;
        options.fastPath = false;
        const DecodeResult careful = decodeChunked(stream, options);
        EXPECT_TRUE(careful.guardIntact) << what;
        for (bool portable : {false, true}) {
            options.fastPath = true;
            options.portableFastLoop = portable;
            const DecodeResult fast = decodeChunked(stream, options);
            const std::string which = what + (portable ? " (portable loop)" : "") +
                                      (placed ? " (in the output's room)" : "");
            EXPECT_EQ(fast.ok, careful.ok) << which;
            EXPECT_EQ(fast.finished, careful.finished) << which;
            EXPECT_EQ(fast.decodeError, careful.decodeError) << which;
            EXPECT_EQ(fast.consumed, careful.consumed) << which;
            EXPECT_TRUE(fast.output == careful.output) << which << ": " << fast.output.size()
                                                       << " vs " << careful.output.size() << " bytes";
            EXPECT_TRUE(fast.guardIntact) << which;
        }
    }
}

TEST(FastPath, BothBuildsOfTheLoopDecodeWholeStreams) {
    if (!InflateState::processorHasBmi2())
        std::printf("This processor has no BMI2: its build of the fast loop is not run here.\n");
    for (const Sample kind : {Sample::kText, Sample::kRandom, Sample::kRuns, Sample::kMixed}) {
        const Bytes data = sampleData(kind, 300000, 7);
        for (int level : {1, 6, 9}) {
            const Bytes stream = zlibCompress(data, level);
            for (bool portable : {false, true}) {
                const DecodeResult r = decodeChunked(
                    stream, {.portableFastLoop = portable, .maxChunk = portable ? 5000u : 0u});
                ASSERT_TRUE(r.ok && r.finished) << int(kind) << " " << level << " " << portable;
                EXPECT_TRUE(r.output == data) << int(kind) << " " << level << " " << portable;
            }
        }
    }
}

TEST(FastPath, SameAsCarefulOnDamagedStreams) {
    std::mt19937 gen(31);
    for (int i = 0; i < 150; ++i) {
        const Sample kind = static_cast<Sample>(gen() % 4);
        Bytes stream =
            zlibCompress(sampleData(kind, 1000 + gen() % 200000, gen()), 1 + int(gen() % 9));
        const int flips = 1 + int(gen() % 4);
        for (int f = 0; f < flips; ++f)
            stream[gen() % stream.size()] ^= uint8_t(1u << (gen() % 8));
        const bool deflate64 = gen() % 2 == 0;
        const uint32_t maxChunk = gen() % 3 == 0 ? 0 : 1 + gen() % 70000;
        expectSameDecoding(stream,
                           {.deflate64 = deflate64, .maxChunk = maxChunk, .seed = uint32_t(gen())},
                           "stream " + std::to_string(i));
    }
}

TEST(FastPath, SameAsCarefulOnRandomBytes) {
    std::mt19937 gen(32);
    for (int i = 0; i < 300; ++i) {
        Bytes stream = sampleData(Sample::kRandom, 16 + gen() % 5000, gen());
        // A dynamic header start makes the noise reach the table builder more often.
        if (i % 2 == 0)
            stream[0] = uint8_t((stream[0] & ~7u) | 4u);
        expectSameDecoding(stream, {.deflate64 = i % 3 == 0, .maxChunk = 0},
                           "random " + std::to_string(i));
    }
}

} // namespace
