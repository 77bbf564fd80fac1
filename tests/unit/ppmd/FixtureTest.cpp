// Entries of a small archive made by 7-Zip decode to their recorded size and CRC-32 on every
// platform: order 2, order 8 (restart) and order 16 (cut-off) with a 1 MB sub-allocator, which
// runs out of memory over their data, and a small entry at order 16.
#include "PpmdSupport.h"

#include "codecs/ppmd/PpmdEntry.h"
#include "zip/base/stream/MemoryDataSource.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

Bytes fixture() {
    return readFile(std::string(PELLQUIN_TEST_DATA) + "/ppmd/ppmd_entries.zip");
}

bool decode(const Bytes& stored, uint64_t size, Bytes& output) {
    MemoryDataSource source(stored.data(), stored.size());
    VectorOutput out;
    RecordingLog log;
    const bool ok = ppmdFromSource(source, out, size, nullptr, log, false);
    output = std::move(out.written);
    return ok;
}

TEST(PpmdFixture, EntriesDecodeToTheirSizeAndCrc) {
    const auto entries = zipEntries(fixture());
    ASSERT_EQ(entries.size(), 4u);
    for (const ZipEntry& e : entries) {
        ASSERT_EQ(e.method, 98) << e.name;
        Bytes output;
        EXPECT_TRUE(decode(e.stored, e.uncompressedSize, output)) << e.name;
        EXPECT_EQ(output.size(), e.uncompressedSize) << e.name;
        EXPECT_EQ(crc32Of(output), e.crc32) << e.name;
    }
}

// A model that never runs out of memory decodes the same in any larger block: the header of
// the small entry is raised to order 16 with 256 MB, which must be allocated and used.
TEST(PpmdFixture, LargestSubAllocator) {
    for (const ZipEntry& e : zipEntries(fixture())) {
        if (e.name != "small_o16.bin")
            continue;
        Bytes stored = e.stored;
        stored[0] = 0xFF; // order 16, low nibble of the size 255
        stored[1] = static_cast<uint8_t>((stored[1] & 0xF0) | 0x0F);
        Bytes output;
        EXPECT_TRUE(decode(stored, e.uncompressedSize, output));
        EXPECT_EQ(crc32Of(output), e.crc32);
        return;
    }
    FAIL() << "small_o16.bin is missing";
}

// An escape from the order-0 context as the first symbol: the data of an empty entry.
TEST(PpmdFixture, EndMarkAtOnce) {
    const Bytes stored = {0x07, 0x00, 0xFF, 0xFF, 0xFF, 0xFE, 0x00};
    Bytes output;
    EXPECT_TRUE(decode(stored, 0, output));
    EXPECT_TRUE(output.empty());
}

} // namespace
