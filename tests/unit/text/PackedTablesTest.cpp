// The multi-byte pages are built in packed, and the program registers the codec
// that unpacks them; these tests do it as the archive layer does.
#include "zip/base/text/PackedTables.h"
#include "codecs/lzma/LzmaUnpack.h"
#include "zip/base/text/CodePageTable.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vexmar;

namespace {

const bool registered = (setCodePageUnpacker(lzmaUnpack), true);

TEST(PackedTablesTest, TheBuiltInBlockUnpacksToItsStatedSize) {
    ASSERT_TRUE(registered);
    std::vector<uint8_t> out(kUnpackedTablesSize);
    EXPECT_TRUE(lzmaUnpack(kPackedTables, kPackedTablesSize, out.data(), out.size()));
    ASSERT_NE(unpackedTables(), nullptr);
    EXPECT_EQ(out, std::vector<uint8_t>(unpackedTables(), unpackedTables() + out.size()));
}

// A block that does not hold exactly the expected bytes is refused, whichever way
// it is wrong.
TEST(PackedTablesTest, WrongBlocksAreRefused) {
    struct Case {
        const char* what;
        size_t packedSize;
        size_t outSize;
    } cases[] = {
        {"cut short", kPackedTablesSize / 2, kUnpackedTablesSize},
        {"header only", 13, kUnpackedTablesSize},
        {"longer than expected", kPackedTablesSize, kUnpackedTablesSize - 1},
        {"shorter than expected", kPackedTablesSize, kUnpackedTablesSize + 1},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> out(c.outSize);
        EXPECT_FALSE(lzmaUnpack(kPackedTables, c.packedSize, out.data(), out.size())) << c.what;
    }
    const uint8_t notLzma[32] = {0xFF, 0xFF, 0xFF};
    uint8_t out[16];
    EXPECT_FALSE(lzmaUnpack(notLzma, sizeof notLzma, out, sizeof out));
}

TEST(PackedTablesTest, EveryMultiBytePageIsAvailable) {
    for (uint32_t i = 0; i < kMultiByteTablesCount; ++i) {
        const CodePageTable& table = kMultiByteTables[i];
        EXPECT_TRUE(table.packed) << table.codePage;
        EXPECT_EQ(findCodePageTable(table.codePage), &table);
        EXPECT_LE(table.mappingOffset + table.mappingSize, kUnpackedTablesSize);
        EXPECT_NE(forwardOf(table), nullptr) << table.codePage;
    }
}

} // namespace
