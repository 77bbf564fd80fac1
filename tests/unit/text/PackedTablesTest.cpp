// The code page mappings are built in packed, and the program registers the codec
// that unpacks them; these tests do it as the archive layer does.
#include "zip/base/text/PackedTables.h"
#include "codecs/lzma/LzmaUnpack.h"
#include "zip/base/text/CodePageTable.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vexmar;

namespace {

const bool registered = (setCodePageUnpacker(lzmaUnpack), true);

struct Pack {
    const char* what;
    const PackedBlock& block;
    const CodePageTable* tables;
    uint32_t count;
};

const Pack kPacks[] = {
    {"single-byte", kSingleBytePack, kSingleByteTables, kSingleByteTablesCount},
    {"multi-byte", kMultiBytePack, kMultiByteTables, kMultiByteTablesCount},
};

TEST(PackedTablesTest, EachBlockUnpacksToItsStatedSize) {
    ASSERT_TRUE(registered);
    for (const Pack& p : kPacks) {
        std::vector<uint8_t> out(p.block.unpackedSize);
        EXPECT_TRUE(lzmaUnpack(p.block.packed, p.block.packedSize, out.data(), out.size()))
            << p.what;
        const uint8_t* unpacked = unpackedBlock(p.block);
        ASSERT_NE(unpacked, nullptr) << p.what;
        EXPECT_EQ(out, std::vector<uint8_t>(unpacked, unpacked + out.size())) << p.what;
        // Unpacked once, then kept.
        EXPECT_EQ(unpackedBlock(p.block), unpacked) << p.what;
    }
}

// A block that does not hold exactly the expected bytes is refused, whichever way
// it is wrong.
TEST(PackedTablesTest, WrongBlocksAreRefused) {
    const PackedBlock& block = kMultiBytePack;
    struct Case {
        const char* what;
        size_t packedSize;
        size_t outSize;
    } cases[] = {
        {"cut short", block.packedSize / 2, block.unpackedSize},
        {"header only", 13, block.unpackedSize},
        {"longer than expected", block.packedSize, block.unpackedSize - 1},
        {"shorter than expected", block.packedSize, block.unpackedSize + 1},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out(c.outSize);
        EXPECT_FALSE(lzmaUnpack(block.packed, c.packedSize, out.data(), out.size())) << c.what;
    }
    const uint8_t notLzma[32] = {0xFF, 0xFF, 0xFF};
    uint8_t out[16];
    EXPECT_FALSE(lzmaUnpack(notLzma, sizeof notLzma, out, sizeof out));
}

TEST(PackedTablesTest, EveryTablePageIsAvailable) {
    for (const Pack& p : kPacks) {
        for (uint32_t i = 0; i < p.count; ++i) {
            const CodePageTable& table = p.tables[i];
            EXPECT_EQ(table.pack, &p.block) << table.codePage;
            EXPECT_EQ(findCodePageTable(table.codePage), &table);
            EXPECT_LE(table.mappingOffset + table.mappingSize, p.block.unpackedSize);
            EXPECT_LE(table.preferredOffset + table.preferredSize, p.block.unpackedSize);
            EXPECT_NE(forwardOf(table), nullptr) << table.codePage;
        }
    }
}

} // namespace
