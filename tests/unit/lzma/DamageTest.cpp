// Damaged and hostile streams fail with the engine's messages, and never make the decoder read
// or write outside its memory (the native-asan build checks that).
#include "CraftedStream.h"
#include "DecodeRun.h"

#include <gtest/gtest.h>
#include <lzma.h>

#include <cstdlib>
#include <string>

namespace {

const char* const kEndsEarly = "LZMA data ends before the entry's size is reached.";
const char* const kCorrupt = "LZMA data is corrupt.";

Bytes craftedEntry(const Bytes& stream, uint32_t dictionary = 1u << 16) {
    return zipLzmaEntry({CraftedStream::properties(dictionary), stream});
}

// Our decoder takes exactly the property bytes liblzma takes.
TEST(LzmaDamage, PropertiesAreRefusedAsLiblzmaRefusesThem) {
    int accepted = 0;
    for (int contexts = 0; contexts < 256; ++contexts) {
        const Bytes properties = {static_cast<uint8_t>(contexts), 0, 0, 1, 0};
        lzma_filter filter = {LZMA_FILTER_LZMA1, nullptr};
        const bool liblzma =
            lzma_properties_decode(&filter, nullptr, properties.data(), 5) == LZMA_OK;
        std::free(filter.options);
        // With nothing to decode only the header is read.
        const EntryRun run = decodeEntry(zipLzmaEntry({properties, {}}), 0, 0);
        EXPECT_EQ(run.ok, liblzma) << contexts;
        EXPECT_EQ(run.log.hasError("Invalid LZMA properties."), !liblzma) << contexts;
        accepted += run.ok;
    }
    EXPECT_EQ(accepted, 75);

    Bytes wrongSize = zipLzmaEntry(encodeLzma(textSample(100), {}));
    wrongSize[2] = 4;
    const EntryRun run = decodeEntry(wrongSize, 100, 0);
    EXPECT_FALSE(run.ok);
    EXPECT_TRUE(run.log.hasError("Invalid LZMA properties header."));
}

// Cut anywhere before the entry's last byte is decoded. (Once it is, decoding stops: an end
// marker after it is not read.)
TEST(LzmaDamage, CutShortStreamsSaySo) {
    const Bytes data = textSample(20000);
    for (bool marker : {true, false}) {
        const Bytes entry = zipLzmaEntry(encodeLzma(data, {.endMarker = marker}));
        const size_t header = 9;
        const size_t n = entry.size() - header;
        const size_t last = marker ? n * 9 / 10 : n - 1;
        for (size_t keep :
             {size_t(0), size_t(1), size_t(4), size_t(5), size_t(6), n / 3, n / 2, last}) {
            const Bytes cut(entry.begin(), entry.begin() + header + keep);
            for (uint32_t piece : {1u, 0u}) {
                const EntryRun run = decodeEntry(cut, data.size(), piece);
                const std::string what = std::to_string(keep) + " of " + std::to_string(n) +
                                         (marker ? " with marker" : "");
                EXPECT_FALSE(run.ok) << what;
                EXPECT_TRUE(run.log.hasError(kEndsEarly)) << what;
                EXPECT_LT(run.out.size(), data.size()) << what;
            }
        }
    }
}

// A hand-made stream that decodes is the check that the hand-made ones below are coded right.
TEST(LzmaDamage, ACraftedStreamDecodes) {
    CraftedStream s;
    s.literal('a');
    s.literal('b');
    s.match(1, 4);
    s.shortRep();
    s.endMarker();
    const Bytes entry = craftedEntry(s.finish());
    const Bytes expected = {'a', 'b', 'a', 'b', 'a', 'b', 'a'};
    EntryRun run = decodeEntry(entry, expected.size(), 1);
    EXPECT_TRUE(run.ok);
    EXPECT_TRUE(run.out == expected);
    // The marker before the entry's size ends the data; the caller sees it is short.
    run = decodeEntry(entry, 100, 0);
    EXPECT_TRUE(run.ok);
    EXPECT_TRUE(run.out == expected);
}

TEST(LzmaDamage, CorruptStreamsAreRefused) {
    Bytes badFirstByte = encodeLzma(textSample(500), {}).stream;
    badFirstByte[0] = 1;
    Bytes fullCode = badFirstByte;
    fullCode[0] = 0;
    std::fill(fullCode.begin() + 1, fullCode.begin() + 5, 0xFF);

    CraftedStream matchFirst;
    matchFirst.match(0, 2);
    CraftedStream pastStart;
    pastStart.literal('a');
    pastStart.match(1, 2);
    CraftedStream repeatFirst;
    repeatFirst.shortRep();
    CraftedStream pastDictionary;
    for (int i = 0; i < 5000; ++i)
        pastDictionary.literal(static_cast<uint8_t>(i * 7));
    pastDictionary.match(4500, 2);
    CraftedStream uncleanEnd;
    uncleanEnd.literal('a');
    uncleanEnd.endMarker();
    Bytes unclean = uncleanEnd.finish();
    unclean.back() ^= 0x01;

    const struct {
        const char* what;
        Bytes entry;
        uint64_t size;
    } cases[] = {
        {"range code opens with a non-zero byte", craftedEntry(badFirstByte), 500},
        {"range code opens at the full range", craftedEntry(fullCode), 500},
        {"a match before any byte", craftedEntry(matchFirst.finish()), 10},
        {"a match past the start", craftedEntry(pastStart.finish()), 10},
        {"a repeat before any byte", craftedEntry(repeatFirst.finish()), 10},
        {"a match past the dictionary", craftedEntry(pastDictionary.finish(), 4096), 6000},
        {"an end marker that leaves code behind", craftedEntry(unclean), 10},
    };
    for (const auto& c : cases) {
        for (uint32_t piece : {1u, 0u}) {
            const EntryRun run = decodeEntry(c.entry, c.size, piece);
            EXPECT_FALSE(run.ok) << c.what;
            EXPECT_TRUE(run.log.hasError(kCorrupt)) << c.what;
        }
    }
}

// Any byte changed: the decoder fails, or gives at most the entry's size (there is no check
// value in the stream; the entry's CRC-32 catches the rest).
TEST(LzmaDamage, FlippedBytesStayWithinBounds) {
    const Bytes data = textSample(4000);
    const Bytes entry = zipLzmaEntry(encodeLzma(data, {.dictionary = 4096}));
    int refused = 0;
    for (size_t at = 9; at < entry.size(); ++at) {
        Bytes damaged = entry;
        damaged[at] ^= static_cast<uint8_t>(1u << (at % 8));
        const EntryRun run = decodeEntry(damaged, data.size(), 7);
        if (!run.ok) {
            ++refused;
            EXPECT_TRUE(run.log.hasError(kCorrupt) || run.log.hasError(kEndsEarly)) << at;
        }
        EXPECT_LE(run.out.size(), data.size()) << at;
    }
    EXPECT_GT(refused, 0);
}

// A block holds exactly its bytes and ends where it says.
TEST(LzmaDamage, BlocksThatDoNotEndAsTheySayAreRefused) {
    const Bytes data = textSample(5000);
    const Encoded marked = encodeLzma(data, {});
    const Encoded unmarked = encodeLzma(data, {.endMarker = false});
    Bytes cutMarker = lzmaBlock(marked, std::nullopt);
    cutMarker.pop_back();
    const Bytes cutAtHalf(cutMarker.begin(), cutMarker.begin() + cutMarker.size() / 2);
    const struct {
        const char* what;
        Bytes block;
        size_t size;
    } cases[] = {
        {"no end marker and no size", lzmaBlock(unmarked, std::nullopt), data.size()},
        {"end marker cut short", cutMarker, data.size()},
        {"cut in the middle", cutAtHalf, data.size()},
        {"end marker before the last byte", lzmaBlock(marked, std::nullopt), data.size() + 1},
        {"more bytes than room, size unknown", lzmaBlock(marked, std::nullopt), data.size() - 1},
        {"more bytes than room, no marker", lzmaBlock(unmarked, data.size() - 1), data.size() - 1},
    };
    for (const auto& c : cases)
        EXPECT_FALSE(unpackBlock(c.block, c.size)) << c.what;
}

} // namespace
