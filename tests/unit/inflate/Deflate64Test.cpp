// Deflate64: lengths up to 65538 through symbol 285 and distances up to 65536 through symbols
// 30 and 31, in hand-made streams and in an archive made by 7-Zip.
#include "InflateSupport.h"

#include "zip/base/checksum/ZipCRC.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace vexmar;

namespace {

// Far references of every new kind, after enough history for the farthest of them.
std::vector<Token> farReferences() {
    std::mt19937 gen(21);
    std::vector<Token> tokens;
    for (int i = 0; i < 70000; ++i)
        tokens.push_back(literal(uint8_t(gen())));
    tokens.push_back(match(65538, 65536)); // longest length, farthest distance
    tokens.push_back(match(300, 32769));   // symbol 30's base
    tokens.push_back(match(258, 49153));   // symbol 31's base, 258 through symbol 284
    tokens.push_back(match(1000, 65535));
    tokens.push_back(match(40000, 3)); // long and overlapping
    for (int i = 0; i < 5000; ++i)
        tokens.push_back(i % 3 ? literal(uint8_t(gen()))
                               : match(3 + gen() % 20000, 1 + gen() % 65536));
    return tokens;
}

TEST(Deflate64, FarReferencesInAnyChunking) {
    const std::vector<Token> tokens = farReferences();
    const Bytes expected = expandTokens(tokens);
    BitWriter w;
    fixedBlock(w, std::vector<Token>(tokens.begin(), tokens.begin() + 70003), false, true);
    fixedBlock(w, std::vector<Token>(tokens.begin() + 70003, tokens.end()), true, true);
    const Bytes stream = w.finish();
    for (bool fast : {true, false})
        for (uint32_t maxChunk : {0u, 1u, 777u, 40000u}) {
            const DecodeResult r =
                decodeChunked(stream, {.deflate64 = true, .fastPath = fast, .maxChunk = maxChunk});
            ASSERT_TRUE(r.ok && r.finished) << fast << " " << maxChunk;
            EXPECT_TRUE(r.output == expected) << fast << " " << maxChunk;
        }
}

TEST(Deflate64, AMatchThatFillsTheWindowsAreaToTheLastByte) {
    // The area fills first after kAreaSize bytes. A long match ends exactly there, and literals
    // and a match follow: each must go past the hand-over of the full area, never beyond it.
    const uint32_t area = InflateWindow::kAreaSize;
    std::vector<Token> tokens = {literal('a')};
    uint32_t produced = 1;
    while (area - produced > 65538) {
        tokens.push_back(match(65538, 1));
        produced += 65538;
    }
    tokens.push_back(match(area - produced, 1));
    for (int i = 0; i < 100; ++i)
        tokens.push_back(literal(uint8_t('b' + i % 20)));
    tokens.push_back(match(5000, 70));
    const Bytes expected = expandTokens(tokens);
    ASSERT_EQ(expected.size(), area + 5100u);
    BitWriter w;
    fixedBlock(w, tokens, true, true);
    const Bytes stream = w.finish();
    for (bool fast : {true, false})
        for (uint32_t maxChunk : {0u, 3000u}) {
            const DecodeResult r =
                decodeChunked(stream, {.deflate64 = true, .fastPath = fast, .maxChunk = maxChunk});
            ASSERT_TRUE(r.ok && r.finished) << fast << " " << maxChunk;
            EXPECT_TRUE(r.output == expected) << fast << " " << maxChunk;
        }
}

TEST(Deflate64, Symbol285IsTheLongFormOnlyInDeflate64) {
    // Plain deflate: 285 is length 258 with no extra bits.
    BitWriter plain;
    fixedBlock(plain, {literal('q'), match(258, 1)}, true, false);
    const DecodeResult r = decodeChunked(plain.finish());
    ASSERT_TRUE(r.ok && r.finished);
    EXPECT_EQ(r.output, Bytes(259, 'q'));

    // Deflate64: 285 with 16 extra bits of 0 is length 3.
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    fixedLiteralLength(w, 'q');
    fixedLiteralLength(w, 285);
    w.bits(0, 16);
    w.code(0, 5);
    fixedLiteralLength(w, 256);
    const DecodeResult d64 = decodeChunked(w.finish(), {.deflate64 = true});
    ASSERT_TRUE(d64.ok && d64.finished);
    EXPECT_EQ(d64.output, Bytes(4, 'q'));
}

// The stored data of the first entry of a ZIP file, with its CRC-32 and size.
struct ZipEntryData {
    Bytes data;
    uint16_t method;
    uint32_t crc;
    uint32_t size;
};

ZipEntryData firstEntry(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const Bytes zip((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto le = [&](size_t at, int n) {
        uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i)
            v = v << 8 | zip.at(at + i);
        return v;
    };
    const size_t start = 30 + le(26, 2) + le(28, 2);
    const uint32_t compressed = le(18, 4);
    return {Bytes(zip.begin() + start, zip.begin() + start + compressed), uint16_t(le(8, 2)),
            le(14, 4), le(22, 4)};
}

TEST(Deflate64, ArchiveMadeBy7Zip) {
    // Text with repeats 43,000 bytes apart, which only Deflate64 distances reach.
    const ZipEntryData entry = firstEntry(PELLQUIN_TEST_DATA "/deflate64.zip");
    ASSERT_EQ(entry.method, 9);
    for (uint32_t maxChunk : {0u, 1000u}) {
        const DecodeResult r = decodeChunked(entry.data, {.deflate64 = true, .maxChunk = maxChunk});
        ASSERT_TRUE(r.ok && r.finished);
        EXPECT_EQ(r.consumed, entry.data.size());
        EXPECT_EQ(r.output.size(), entry.size);
        EXPECT_EQ(vexmar::crc32Buffer(r.output.data(), r.output.size()), entry.crc);
    }
    const DecodeResult plain = decodeChunked(entry.data);
    EXPECT_FALSE(plain.ok && plain.output.size() == entry.size &&
                 vexmar::crc32Buffer(plain.output.data(), plain.output.size()) == entry.crc);
}

} // namespace
