// The levelled decode table on its own: symbols, codes too short to decide, unused codes, and
// codes long enough to need a sub-table.
#include "codecs/inflate/HuffDecodeTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// The stream form of a code: its bits most significant first, so reversed.
uint64_t streamBits(uint32_t code, int length) {
    uint64_t bits = 0;
    for (int i = 0; i < length; ++i)
        bits |= uint64_t((code >> (length - 1 - i)) & 1) << i;
    return bits;
}

struct DecodeCase {
    uint32_t code;
    int codeLength;
    int available;
    int expected;
};

TEST(HuffDecodeTable, DecodesCanonicalCodesAcrossLevels) {
    // Lengths 1, 2, then 12 symbols of 13 bits and 4 of 12 bits: incomplete, two levels.
    std::vector<uint8_t> lengths = {1, 2};
    lengths.insert(lengths.end(), 12, 13);
    lengths.insert(lengths.end(), 4, 12);
    HuffDecodeTable table;
    ASSERT_TRUE(table.build(lengths.data(), int(lengths.size())));
    EXPECT_EQ(table.mask(), 511u); // a 9-bit root

    // Canonical codes: 0 -> "0", 1 -> "10", the 12-bit codes from 110000000000, the 13-bit codes
    // after them.
    const DecodeCase cases[] = {
        {0b0, 1, 1, 0},
        {0b10, 2, 2, 1},
        {0b10, 2, 1, HuffDecodeTable::kNeedMoreBits},
        {0b110000000000, 12, 12, 14},
        {0b110000000011, 12, 20, 17},
        {0b1100000001000, 13, 13, 2},
        {0b1100000010011, 13, 13, 13},
        {0b1100000001000, 13, 12, HuffDecodeTable::kNeedMoreBits},
        {0b1100000001000, 13, 9, HuffDecodeTable::kNeedMoreBits},
        {0b1111111111111, 13, 13, HuffDecodeTable::kInvalidCode},
    };
    for (const DecodeCase& c : cases) {
        int used = -1;
        const int symbol = table.decode(streamBits(c.code, c.codeLength), c.available, used);
        EXPECT_EQ(symbol, c.expected) << c.code << "/" << c.available;
        if (symbol >= 0) {
            EXPECT_EQ(used, c.codeLength);
        }
    }
}

TEST(HuffDecodeTable, ShortCodesGetANarrowRoot) {
    const uint8_t lengths[] = {3, 3, 3, 3, 3, 2, 4, 4};
    HuffDecodeTable table;
    ASSERT_TRUE(table.build(lengths, 8));
    EXPECT_EQ(table.mask(), 15u);
    int used = 0;
    EXPECT_EQ(table.decode(streamBits(0b00, 2), 2, used), 5);
    EXPECT_EQ(table.decode(streamBits(0b1111, 4), 4, used), 7);
}

TEST(HuffDecodeTable, NoCodesDecodeNothing) {
    const uint8_t lengths[30] = {};
    HuffDecodeTable table;
    ASSERT_TRUE(table.build(lengths, 30));
    int used = 0;
    EXPECT_EQ(table.decode(0, 24, used), HuffDecodeTable::kInvalidCode);
}

} // namespace
