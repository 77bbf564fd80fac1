// Shrunk and imploded entries through extraction: each variant lands on disk as it was, and
// data that ends early or holds a malformed tree fails its entry, with the reason in the log.
#include <gtest/gtest.h>

#include "LegacyEncoders.h"
#include "tests/unit/extract/ExtractFixture.h"

using namespace vexmar;

using testzip::Entry;

namespace {

constexpr uint16_t kEightK = 0x0002;
constexpr uint16_t kThreeTrees = 0x0004;

std::string asString(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

// An entry whose stored bytes are `packed`, declaring the size and CRC-32 of `data`.
Entry packedEntry(const std::string& name, const std::string& data, const Bytes& packed,
                  uint16_t method, uint16_t flags) {
    Entry e{.name = name, .data = asString(packed), .method = method, .flags = flags};
    e.crc32 = testzip::crc32(data);
    e.uncompressedSize = uint32_t(data.size());
    return e;
}

Entry imploded(const std::string& name, const std::string& data, uint16_t flags) {
    const ImplodeOptions options{.eightKDictionary = (flags & kEightK) != 0,
                                 .literalTree = (flags & kThreeTrees) != 0};
    const Bytes packed = implodeTokens(findMatches(bytesOf(data), options), options);
    return packedEntry(name, data, packed, 6, flags);
}

std::string sample(int seed) {
    std::string text;
    for (int i = 0; text.size() < 20000; ++i)
        text += "line " + std::to_string(i * seed % 977) + " of the sample\n";
    return text;
}

TEST_F(ExtractTest, ShrunkAndImplodedEntriesExtract) {
    const std::string a = sample(3), b = sample(7);
    ASSERT_TRUE(open({
        packedEntry("shrunk.txt", a, shrink(bytesOf(a), {.clearAfter = 500}), 1, 0),
        imploded("4k-two-trees.txt", a, 0),
        imploded("8k-two-trees.txt", b, kEightK),
        imploded("4k-three-trees.txt", b, kThreeTrees),
        imploded("8k-three-trees.txt", a, kEightK | kThreeTrees),
    }));
    ASSERT_TRUE(extract()) << zip.LastErrorXml();
    EXPECT_EQ(read(out / "shrunk.txt"), a);
    EXPECT_EQ(read(out / "4k-two-trees.txt"), a);
    EXPECT_EQ(read(out / "8k-two-trees.txt"), b);
    EXPECT_EQ(read(out / "4k-three-trees.txt"), b);
    EXPECT_EQ(read(out / "8k-three-trees.txt"), a);
}

TEST_F(ExtractTest, ImplodedDataThatEndsEarlyFailsItsEntry) {
    const std::string a = sample(5);
    Entry cut = imploded("cut.txt", a, kThreeTrees);
    cut.data.resize(cut.data.size() / 2);
    ASSERT_TRUE(open({cut, imploded("whole.txt", a, kThreeTrees)}));
    EXPECT_FALSE(extract());
    EXPECT_FALSE(fs::exists(out / "cut.txt"));
    EXPECT_EQ(read(out / "whole.txt"), a);
    EXPECT_TRUE(logHas("fromImploded"));
    EXPECT_TRUE(logHas("The compressed data ended before the entry's size was reached."));
    EXPECT_TRUE(logHas("The entry's data decodes to fewer bytes than its size."));
}

TEST_F(ExtractTest, MalformedShrunkOrImplodedDataFailsItsEntry) {
    Bytes tooManySymbols{16};
    tooManySymbols.insert(tooManySymbols.end(), 17, 0xF7);
    // 'a', 'b', 257 ("ab"), a partial clear that frees everything, then 257 made its own prefix.
    BitWriter loop;
    for (uint32_t code : {97u, 98u, 257u, 256u, 2u, 99u, 257u})
        loop.bits(code, 9);
    const std::string declared(100, 'x');
    ASSERT_TRUE(open({packedEntry("trees.txt", declared, tooManySymbols, 6, kThreeTrees),
                      packedEntry("codes.txt", declared, loop.finish(), 1, 0)}));
    EXPECT_FALSE(extract());
    EXPECT_FALSE(fs::exists(out / "trees.txt"));
    EXPECT_FALSE(fs::exists(out / "codes.txt"));
    EXPECT_TRUE(logHas("(Implode) Loading of LitTree failed."));
    EXPECT_TRUE(logHas("fromShrunk"));
    EXPECT_TRUE(logHas("(Unshrink) Invalid code."));
}

// A declared size is a claim, not a budget: nothing is reserved for data the archive does
// not hold.
TEST_F(ExtractTest, DeclaredSizesBeyondTheArchiveReserveNothing) {
    const std::string a = sample(3);
    for (const uint16_t method : {uint16_t(1), uint16_t(6)}) {
        Entry e = method == 1 ? packedEntry("big.txt", a, shrink(bytesOf(a), {}), 1, 0)
                              : imploded("big.txt", a, 0);
        e.compressedSize = 0xFFFFFF00;
        ASSERT_TRUE(open({e})) << method;
        EXPECT_FALSE(extract()) << method;
        EXPECT_TRUE(logHas("The entry's compressed data runs past the end of the archive."))
            << zip.LastErrorXml();
        EXPECT_FALSE(fs::exists(out / "big.txt")) << method;
    }
}

} // namespace
