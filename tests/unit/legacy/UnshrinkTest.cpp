// Unshrink: round trips through the test encoder (code-size steps, full and forced partial
// clears, codes sent before the decoder has them), hand-made code sequences for the cases the
// encoder reaches only by chance, the size bound, truncated data and malformed codes.
#include "DecodeRun.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

// 9-bit codes, as a stream starts.
Bytes codes9(const std::vector<uint32_t>& codes) {
    BitWriter w;
    for (uint32_t c : codes)
        w.bits(c, 9);
    return w.finish();
}

struct RoundTrip {
    const char* name;
    Bytes data;
    ShrinkOptions options;
};

TEST(Unshrink, RoundTripsThroughTheEncoder) {
    const RoundTrip cases[] = {
        {"text", sampleText(30000, 1), {}},
        {"random bytes", sampleRandom(20000, 2), {}},
        {"one byte repeated", Bytes(5000, 'a'), {}},
        {"table fills and is partly cleared", sampleText(100000, 3), {}},
        {"frequent partial clears", sampleText(40000, 4), {.clearAfter = 150}},
        {"partial clear after every code", sampleText(400, 5), {.clearAfter = 1}},
    };
    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(c.name);
        ShrinkStats stats;
        const Bytes packed = shrink(c.data, c.options, &stats);
        const DecodeResult r = unshrink(packed, c.data.size());
        ASSERT_TRUE(r.ok);
        EXPECT_TRUE(r.output == c.data);
        EXPECT_TRUE(r.errors.empty());
        EXPECT_TRUE(r.infos.empty());
        // The encoder's cases are reached: codes sent before the decoder has them, and
        // partial clears whether the table filled up or not.
        if (c.data.size() == 5000) {
            EXPECT_GT(stats.notYetAddedCodes, 50);
        }
        if (c.options.clearAfter || c.data.size() == 100000) {
            EXPECT_GT(stats.partialClears, 0);
        }
    }
}

TEST(Unshrink, GrowsTheCodeSizeUpTo13Bits) {
    ShrinkStats stats;
    const Bytes data = sampleRandom(60000, 6);
    const Bytes packed = shrink(data, {}, &stats);
    EXPECT_EQ(stats.codeSizeSteps, 4);
    EXPECT_TRUE(unshrink(packed, data.size()).output == data);
}

struct HandMade {
    const char* name;
    std::vector<uint32_t> codes;
    std::string expected;
};

TEST(Unshrink, DecodesHandMadeSequences) {
    const HandMade cases[] = {
        {"a single code is one byte", {'A'}, "A"},
        {"a code not yet added is the previous string and its first byte", {'a', 257}, "aaa"},
        // 257 "ab" is the prefix of 259 and 260, so the partial clear keeps it and frees
        // 258-260; 258 is then the next code added, first as a code not yet added.
        {"partial clear keeps prefixes and reuses the lowest freed code",
         {'a', 'b', 257, 257, 'c', 256, 2, 258, 257, 259},
         "abababcccabcca"},
        {"without the clear the same codes mean other strings",
         {'a', 'b', 257, 257, 'c', 258, 257, 259},
         "abababcbaababa"},
        {"a control code with an unknown action is skipped", {'a', 256, 7, 'b'}, "ab"},
        // 300 is free: read like a code not yet added, then the prefix of 258. It stays free
        // through the clear and is read the same way again.
        {"a free code as a prefix stays free through a partial clear",
         {'a', 300, 'b', 256, 2, 300},
         "aaabbb"},
    };
    for (const HandMade& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodeResult r = unshrink(codes9(c.codes), c.expected.size());
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(std::string(r.output.begin(), r.output.end()), c.expected);
    }
}

TEST(Unshrink, StopsAtTheExpectedSize) {
    const Bytes data = sampleText(5000, 7);
    const DecodeResult r = unshrink(shrink(data), 1234);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.output == Bytes(data.begin(), data.begin() + 1234));
    EXPECT_TRUE(r.infos.empty());
}

TEST(Unshrink, TruncatedDataGivesAShorterOutputAndSaysWhy) {
    const Bytes data = sampleText(5000, 8);
    Bytes packed = shrink(data);
    packed.resize(packed.size() / 2);
    const DecodeResult r = unshrink(packed, data.size());
    ASSERT_TRUE(r.ok);
    ASSERT_LT(r.output.size(), data.size());
    EXPECT_GT(r.output.size(), 0u);
    EXPECT_TRUE(std::equal(r.output.begin(), r.output.end(), data.begin()));
    EXPECT_TRUE(r.hasInfo(kEndedEarly));

    const DecodeResult empty = unshrink({}, 10);
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.output.empty());
    EXPECT_TRUE(empty.hasInfo(kEndedEarly));
}

TEST(Unshrink, MalformedCodesFail) {
    const HandMade cases[] = {
        // The clear frees 257 and 258, 257 is re-added as its own prefix, then sent.
        {"a prefix chain that loops", {'a', 'b', 257, 256, 2, 'c', 257}, ""},
        {"a first code that is not a byte, then extended", {300, 257}, ""},
        // 300 is taken as not yet added and becomes the previous code; 258 is added on it.
        {"a chain through a free code", {'a', 300, 257, 258}, ""},
    };
    for (const HandMade& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodeResult r = unshrink(codes9(c.codes), 100000);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.errors == std::vector<std::string>{"(Unshrink) Invalid code."});
    }
}

} // namespace
