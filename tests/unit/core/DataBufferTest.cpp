#include "zip/base/DataBuffer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

using namespace vexmar;

namespace {

struct GrowthCase {
    uint32_t size; // bytes in a buffer that is exactly full
    uint32_t added;
    uint32_t capacity;
};

class DataBufferGrowth : public testing::TestWithParam<GrowthCase> {};

TEST_P(DataBufferGrowth, GrowsByTheStepOfItsSize) {
    const GrowthCase& c = GetParam();
    DataBuffer buffer;
    if (c.size) {
        ASSERT_TRUE(buffer.ensureCapacity(c.size));
        ASSERT_TRUE(buffer.setSize(c.size));
    }
    std::vector<uint8_t> bytes(c.added, 0x5A);
    ASSERT_TRUE(buffer.append(bytes.data(), c.added));
    EXPECT_EQ(buffer.getCapacity(), c.capacity);
    EXPECT_EQ(buffer.getSize(), c.size + c.added);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, DataBufferGrowth,
    testing::Values(GrowthCase{0, 1, 20000},             // the floor
                    GrowthCase{0, 30000, 30000},         // more than the floor
                    GrowthCase{49999, 10, 69999},        // below the first step
                    GrowthCase{50000, 10, 100000},       // first step
                    GrowthCase{100000, 99999, 200000},   // n just below the step
                    GrowthCase{100000, 100000, 200000},  // n not below: headroom n
                    GrowthCase{100000, 150000, 250000},  // n above every smaller step
                    GrowthCase{2500000, 10, 4500000},    // 2,000,000 step
                    GrowthCase{12000000, 1, 24000000})); // largest step

TEST(DataBuffer, FitsWithoutGrowingWhenThereIsRoom) {
    DataBuffer buffer;
    ASSERT_TRUE(buffer.append("abc", 3));
    uint32_t capacity = buffer.getCapacity();
    const uint8_t* data = buffer.getData();
    ASSERT_TRUE(buffer.append("def", 3));
    EXPECT_EQ(buffer.getCapacity(), capacity);
    EXPECT_EQ(buffer.getData(), data);
    EXPECT_TRUE(buffer.equals("abcdef", 6));
}

TEST(DataBuffer, SizeAndShortenStayWithinBounds) {
    DataBuffer buffer;
    ASSERT_TRUE(buffer.append("hello", 5));
    EXPECT_FALSE(buffer.setSize(buffer.getCapacity() + 1));
    EXPECT_EQ(buffer.getSize(), 5u);
    buffer.shorten(2);
    EXPECT_TRUE(buffer.equals("hel", 3));
    buffer.shorten(10);
    EXPECT_EQ(buffer.getSize(), 0u);
}

TEST(DataBuffer, AtIsNullOutOfRange) {
    DataBuffer buffer;
    EXPECT_EQ(buffer.at(0), nullptr);
    ASSERT_TRUE(buffer.append("xy", 2));
    ASSERT_NE(buffer.at(1), nullptr);
    EXPECT_EQ(*buffer.at(1), 'y');
    EXPECT_EQ(buffer.at(2), nullptr);
}

TEST(DataBuffer, AppendReversedWritesBytesBackwards) {
    DataBuffer buffer;
    const uint8_t value[4] = {1, 2, 3, 4};
    ASSERT_TRUE(buffer.appendReversed(value, 4));
    EXPECT_TRUE(buffer.equals("\x04\x03\x02\x01", 4));
}

TEST(DataBuffer, AppendToItselfDoublesTheContents) {
    DataBuffer buffer;
    ASSERT_TRUE(buffer.append("ab", 2));
    ASSERT_TRUE(buffer.ensureCapacity(2)); // exactly full: the append must grow
    ASSERT_TRUE(buffer.append(buffer));
    EXPECT_TRUE(buffer.equals("abab", 4));
}

TEST(DataBuffer, ClearKeepsAnOwnedBlock) {
    DataBuffer buffer;
    ASSERT_TRUE(buffer.append("abc", 3));
    uint32_t capacity = buffer.getCapacity();
    buffer.clear();
    EXPECT_EQ(buffer.getSize(), 0u);
    EXPECT_EQ(buffer.getCapacity(), capacity);
    buffer.release();
    EXPECT_EQ(buffer.getCapacity(), 0u);
    EXPECT_EQ(buffer.getData(), nullptr);
}

TEST(DataBuffer, BorrowedBlockIsNeverWritten) {
    char block[8] = "abcdefg";
    DataBuffer buffer;
    buffer.borrow(block, 7);
    EXPECT_TRUE(buffer.isBorrowed());
    EXPECT_EQ(buffer.getData(), reinterpret_cast<uint8_t*>(block));

    // Shortening leaves room inside the borrowed block; appending must still
    // not write there.
    buffer.shorten(3);
    ASSERT_TRUE(buffer.append("XY", 2));
    EXPECT_FALSE(buffer.isBorrowed());
    EXPECT_TRUE(buffer.equals("abcdXY", 6));
    EXPECT_STREQ(block, "abcdefg");
}

TEST(DataBuffer, RegrowingABorrowedBlockKeepsItsBytes) {
    const char block[6] = "abcde";
    DataBuffer buffer;
    buffer.borrow(block, 5);
    buffer.shorten(3);
    ASSERT_TRUE(buffer.setSize(5));
    EXPECT_FALSE(buffer.isBorrowed());
    EXPECT_TRUE(buffer.equals("abcde", 5));
}

TEST(DataBuffer, ClearDropsABorrowedBlock) {
    const char block[4] = "abc";
    DataBuffer buffer;
    buffer.borrow(block, 3);
    buffer.clear();
    EXPECT_FALSE(buffer.isBorrowed());
    EXPECT_EQ(buffer.getData(), nullptr);
    EXPECT_EQ(buffer.getCapacity(), 0u);
}

TEST(DataBuffer, AdoptTakesAHeapBlock) {
    auto* block = static_cast<char*>(std::malloc(4));
    std::memcpy(block, "wxyz", 4);
    DataBuffer buffer;
    ASSERT_TRUE(buffer.append("old", 3));
    buffer.adopt(block, 4);
    EXPECT_FALSE(buffer.isBorrowed());
    EXPECT_TRUE(buffer.equals("wxyz", 4));
    ASSERT_TRUE(buffer.append("!", 1)); // grows out of the adopted block
    EXPECT_TRUE(buffer.equals("wxyz!", 5));
}

TEST(DataBuffer, AppendingBeyondFourGigabytesFails) {
    DataBuffer buffer;
    ASSERT_TRUE(buffer.append("abc", 3));
    EXPECT_FALSE(buffer.ensureRoom(UINT32_MAX));
    EXPECT_TRUE(buffer.equals("abc", 3));
}

TEST(DataBufferDeathTest, UseAfterDestructionStopsTheProcess) {
    alignas(DataBuffer) unsigned char storage[sizeof(DataBuffer)];
    auto* buffer = new (storage) DataBuffer;
    buffer->~DataBuffer();
    EXPECT_DEATH(buffer->shorten(1), "");
}

} // namespace
