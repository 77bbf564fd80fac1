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

TEST(HuffDecodeTable, CompleteCodeDecodesEverySymbolAcrossSubTables) {
    // A complete code: 254 symbols of 8 bits, then the two 8-bit prefixes left split further,
    // one into four 10-bit codes (two sub-tables below a 9-bit root), the other into codes of
    // 9, 10, 11, 12 and 12 bits (one sub-table). The long ones come first in symbol order.
    std::vector<uint8_t> lengths = {12, 10, 10, 12, 11, 10, 9, 10, 10};
    lengths.insert(lengths.end(), 254, 8);
    HuffDecodeTable table;
    ASSERT_TRUE(table.build(lengths.data(), int(lengths.size())));
    EXPECT_EQ(table.mask(), 511u);

    // The canonical codes, worked out symbol by symbol.
    uint32_t counts[16] = {};
    for (uint8_t length : lengths)
        ++counts[length];
    uint32_t nextCode[16] = {};
    for (int length = 1, code = 0; length < 16; ++length) {
        code = int((code + counts[length - 1]) << 1);
        nextCode[length] = uint32_t(code);
    }
    for (size_t s = 0; s < lengths.size(); ++s) {
        const int length = lengths[s];
        const uint64_t bits = streamBits(nextCode[length]++, length);
        int used = -1;
        EXPECT_EQ(table.decode(bits, 15, used), int(s)) << s;
        EXPECT_EQ(used, length) << s;
        EXPECT_EQ(table.decode(bits, length - 1, used), HuffDecodeTable::kNeedMoreBits) << s;
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
