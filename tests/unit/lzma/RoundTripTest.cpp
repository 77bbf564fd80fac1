// What liblzma encodes, our decoder gives back: ZIP entries read in pieces of any size, and
// .lzma blocks with and without their size stated.
#include "DecodeRun.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Sample {
    const char* name;
    Bytes data;
    uint32_t dictionary;
};

const std::vector<Sample>& samples() {
    static const std::vector<Sample> all = [] {
        Bytes mixed = textSample(60000);
        const Bytes noise = randomSample(20000, 11);
        mixed.insert(mixed.end(), noise.begin(), noise.end());
        const Bytes more = textSample(40000);
        mixed.insert(mixed.end(), more.begin(), more.end());
        return std::vector<Sample>{
            {"empty", {}, 1u << 16},
            {"one byte", {'x'}, 1u << 16},
            {"text", textSample(50000), 1u << 16},
            {"random", randomSample(30000, 5), 1u << 16},
            {"long repeats", repeatSample(150000), 1u << 20},
            // The history wraps around a window of the dictionary's size many times.
            {"larger than the dictionary", mixed, 4096},
        };
    }();
    return all;
}

TEST(LzmaRoundTrip, EntriesDecodeWhateverPiecesTheSourceGives) {
    for (const Sample& sample : samples()) {
        for (bool marker : {true, false}) {
            const Bytes entry = zipLzmaEntry(
                encodeLzma(sample.data, {.dictionary = sample.dictionary, .endMarker = marker}));
            for (uint32_t piece : {1u, 7u, 0u}) {
                const EntryRun run = decodeEntry(entry, sample.data.size(), piece);
                const std::string what = std::string(sample.name) + (marker ? ", marker" : "") +
                                         ", pieces of " + std::to_string(piece);
                EXPECT_TRUE(run.ok) << what;
                EXPECT_TRUE(run.log.errors.empty()) << what;
                EXPECT_TRUE(run.out == sample.data) << what;
                // Output goes out in pieces, not all at once.
                EXPECT_LE(run.largestWrite, 65536u) << what;
            }
        }
    }
}

TEST(LzmaRoundTrip, BlocksDecodeWithOrWithoutTheirSize) {
    for (const Sample& sample : samples()) {
        const Bytes& data = sample.data;
        const Encoded marked = encodeLzma(data, {.dictionary = sample.dictionary});
        const Encoded unmarked =
            encodeLzma(data, {.dictionary = sample.dictionary, .endMarker = false});
        EXPECT_TRUE(unpackBlock(lzmaBlock(marked, std::nullopt), data.size(), &data))
            << sample.name;
        EXPECT_TRUE(unpackBlock(lzmaBlock(marked, data.size()), data.size(), &data)) << sample.name;
        EXPECT_TRUE(unpackBlock(lzmaBlock(unmarked, data.size()), data.size(), &data))
            << sample.name;
    }
}

// Text and noise, so that literals of many contexts and matches at every position occur.
TEST(LzmaRoundTrip, EveryContextSplitLiblzmaAllows) {
    Bytes data = textSample(12000);
    const Bytes noise = randomSample(3000, 9);
    data.insert(data.end(), noise.begin(), noise.end());
    int splits = 0;
    for (uint32_t lc = 0; lc <= 4; ++lc) {
        for (uint32_t lp = 0; lc + lp <= 4; ++lp) {
            for (uint32_t pb = 0; pb <= 4; ++pb) {
                const std::string what = "lc " + std::to_string(lc) + " lp " + std::to_string(lp) +
                                         " pb " + std::to_string(pb);
                const Encoded encoded = encodeLzma(data, {.lc = lc, .lp = lp, .pb = pb});
                const EntryRun run = decodeEntry(zipLzmaEntry(encoded), data.size(), 7);
                EXPECT_TRUE(run.ok && run.out == data) << what;
                EXPECT_TRUE(unpackBlock(lzmaBlock(encoded, std::nullopt), data.size(), &data))
                    << what;
                ++splits;
            }
        }
    }
    EXPECT_EQ(splits, 75);
}

// Matches never reach further back than the output is long: a header asking for the largest
// dictionary costs no more than the output.
TEST(LzmaRoundTrip, TheDictionaryIsNeverLargerThanTheOutput) {
    const Bytes data = textSample(3000);
    Encoded encoded = encodeLzma(data, {});
    std::fill(encoded.properties.begin() + 1, encoded.properties.end(), 0xFF);
    const EntryRun run = decodeEntry(zipLzmaEntry(encoded), data.size(), 0);
    EXPECT_TRUE(run.ok);
    EXPECT_TRUE(run.out == data);
    EXPECT_TRUE(unpackBlock(lzmaBlock(encoded, data.size()), data.size(), &data));
}

} // namespace
