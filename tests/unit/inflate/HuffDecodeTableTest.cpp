// The decode table on its own: symbols, codes too short to decide, unused codes, codes long
// enough to need a sub-table, codes that share prefixes, and what the entries carry.
#include "codecs/inflate/HuffDecodeTable.h"
#include "codecs/inflate/InflateTables.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace vexmar;

namespace {

using LiteralLengthTable = DecodeTableFor<HuffDecodeTable::Alphabet::kLiteralLength>;
using DistanceTable = DecodeTableFor<HuffDecodeTable::Alphabet::kDistance>;
using CodeLengthTable = DecodeTableFor<HuffDecodeTable::Alphabet::kCodeLength>;

// The stream form of a code: its bits most significant first, so reversed.
uint64_t streamBits(uint32_t code, int length) {
    uint64_t bits = 0;
    for (int i = 0; i < length; ++i)
        bits |= uint64_t((code >> (length - 1 - i)) & 1) << i;
    return bits;
}

constexpr int kInvalid = -2;

// The literal/length symbol an entry stands for, or kInvalid.
int literalLengthSymbol(uint32_t entry) {
    if (entry & HuffDecodeTable::kEndOfBlock)
        return 256;
    if (entry & HuffDecodeTable::kSlow)
        return kInvalid;
    if (entry & HuffDecodeTable::kLiteral)
        return int((entry >> 16) & 0xFF);
    const deflate_format::CodeRows& rows = deflate_format::codeRows(false);
    for (int i = 0; i < deflate_format::kLengthRowCount; ++i)
        if (rows.lengths[i].base == entry >> 16 &&
            rows.lengths[i].extraBits == entryBits(entry) - entryCodeBits(entry))
            return 257 + i;
    return kInvalid;
}

// The symbol decoded, with `used` set to its code length; kNeedMoreBits or kInvalid.
int decodeSymbol(const HuffDecodeTable& table, uint64_t bits, int available, int& used) {
    uint32_t entry = 0;
    const int length = table.decode(bits, available, entry);
    if (length == HuffDecodeTable::kNeedMoreBits)
        return length;
    used = length;
    return literalLengthSymbol(entry);
}

struct DecodeCase {
    uint32_t code;
    int codeLength;
    int available;
    int expected;
};

TEST(HuffDecodeTable, DecodesCanonicalCodesAcrossLevels) {
    // Lengths 1, 2, then 12 symbols of 13 bits and 4 of 12 bits: incomplete, with sub-tables.
    std::vector<uint8_t> lengths = {1, 2};
    lengths.insert(lengths.end(), 12, 13);
    lengths.insert(lengths.end(), 4, 12);
    const auto table = std::make_unique<LiteralLengthTable>();
    table->build(lengths.data(), int(lengths.size()));
    EXPECT_EQ(table->rootMask(), 2047u);

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
        {0b1111111111111, 13, 13, kInvalid},
    };
    for (const DecodeCase& c : cases) {
        int used = -1;
        const int symbol = decodeSymbol(*table, streamBits(c.code, c.codeLength), c.available, used);
        EXPECT_EQ(symbol, c.expected) << c.code << "/" << c.available;
        if (symbol >= 0) {
            EXPECT_EQ(used, c.codeLength);
        }
    }
}

// The canonical codes of the lengths, worked out symbol by symbol.
std::vector<uint32_t> canonicalCodes(const std::vector<uint8_t>& lengths) {
    uint32_t counts[16] = {};
    for (uint8_t length : lengths)
        ++counts[length];
    counts[0] = 0;
    uint32_t nextCode[16] = {};
    for (int length = 1, code = 0; length < 16; ++length) {
        code = int((code + counts[length - 1]) << 1);
        nextCode[length] = uint32_t(code);
    }
    std::vector<uint32_t> codes;
    for (uint8_t length : lengths)
        codes.push_back(length ? nextCode[length]++ : 0);
    return codes;
}

TEST(HuffDecodeTable, CompleteCodeDecodesEverySymbolAcrossSubTables) {
    // A complete code: 254 symbols of 8 bits, then the two 8-bit prefixes left split further,
    // one into four 10-bit codes, the other into codes of 9, 10, 11, 12, 13, 15 and 15 bits
    // (sub-tables below an 11-bit root). The long ones come first in symbol order.
    std::vector<uint8_t> lengths = {15, 10, 10, 12, 11, 10, 9, 10, 10, 13, 15};
    lengths.insert(lengths.end(), 254, 8);
    const auto table = std::make_unique<LiteralLengthTable>();
    table->build(lengths.data(), int(lengths.size()));
    const std::vector<uint32_t> codes = canonicalCodes(lengths);
    for (size_t s = 0; s < lengths.size(); ++s) {
        const int length = lengths[s];
        const uint64_t bits = streamBits(codes[s], length);
        int used = -1;
        EXPECT_EQ(decodeSymbol(*table, bits, 15, used), int(s)) << s;
        EXPECT_EQ(used, length) << s;
        EXPECT_EQ(decodeSymbol(*table, bits, length - 1, used), HuffDecodeTable::kNeedMoreBits)
            << s;
    }
}

TEST(HuffDecodeTable, ShortCodesGetANarrowRoot) {
    const uint8_t lengths[] = {3, 3, 3, 3, 3, 2, 4, 4};
    const auto table = std::make_unique<CodeLengthTable>();
    table->build(lengths, 8);
    EXPECT_EQ(table->rootMask(), 15u);
    uint32_t entry = 0;
    EXPECT_EQ(table->decode(streamBits(0b00, 2), 2, entry), 2);
    EXPECT_EQ(entry >> 16, 5u);
    EXPECT_EQ(table->decode(streamBits(0b1111, 4), 4, entry), 4);
    EXPECT_EQ(entry >> 16, 7u);
}

TEST(HuffDecodeTable, ShortLiteralLengthAndDistanceCodesFillTheFullRoot) {
    // Codes of at most 3 bits: the root still spans the full width, and whatever the bits above
    // a code, the entry found decodes that code. An incomplete code keeps its unused prefix
    // invalid after no more bits than the longest code has.
    const std::vector<uint8_t> lengths = {2, 1, 3}; // 10, 0, 110; 111 unused
    const std::vector<uint32_t> codes = canonicalCodes(lengths);
    const auto literals = std::make_unique<LiteralLengthTable>();
    literals->build(lengths.data(), int(lengths.size()));
    const auto distances = std::make_unique<DistanceTable>();
    distances->build(lengths.data(), int(lengths.size()));
    const struct {
        const HuffDecodeTable& table;
        uint32_t fullMask;
        uint32_t firstValue; // literal 0, or distance 1
    } tables[] = {{*literals, 2047u, 0}, {*distances, 511u, 1}};
    for (const auto& t : tables) {
        EXPECT_EQ(t.table.rootMask(), t.fullMask);
        for (uint64_t above = 0; above <= t.fullMask >> 1; above += 37) {
            for (size_t s = 0; s < lengths.size(); ++s) {
                const uint64_t bits = streamBits(codes[s], lengths[s]) | above << lengths[s];
                uint32_t entry = 0;
                ASSERT_EQ(t.table.decode(bits, 15, entry), lengths[s]) << s << " " << above;
                EXPECT_EQ(entry >> 16, t.firstValue + s) << s << " " << above;
                EXPECT_EQ(entry & HuffDecodeTable::kSlow, 0u) << s << " " << above;
            }
            uint32_t entry = 0;
            EXPECT_EQ(t.table.decode(streamBits(0b111, 3) | above << 3, 15, entry), 3) << above;
            EXPECT_EQ(entry & HuffDecodeTable::kSlow, HuffDecodeTable::kSlow) << above;
        }
    }
}

TEST(HuffDecodeTable, NoCodesDecodeNothing) {
    const uint8_t lengths[30] = {};
    const auto table = std::make_unique<DistanceTable>();
    table->build(lengths, 30);
    uint32_t entry = 0;
    EXPECT_EQ(table->decode(0, 24, entry), 0);
    EXPECT_EQ(entry & HuffDecodeTable::kSlow, HuffDecodeTable::kSlow);
}

TEST(HuffDecodeTable, EntriesCarryTheRowsOfTheirFlavour) {
    // Every distance symbol gets a 5-bit code, as in the fixed code.
    const uint8_t lengths[32] = {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5,
                                 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5};
    for (bool deflate64 : {false, true}) {
        const auto table = std::make_unique<DistanceTable>();
        table->build(lengths, 32, deflate64);
        const deflate_format::CodeRows& rows = deflate_format::codeRows(deflate64);
        for (uint32_t s = 0; s < 32; ++s) {
            uint32_t entry = 0;
            ASSERT_EQ(table->decode(streamBits(s, 5), 5, entry), 5);
            if (s >= uint32_t(rows.distanceCount)) { // 30 and 31 are Deflate64's
                EXPECT_TRUE(entry & HuffDecodeTable::kSlow) << s;
                continue;
            }
            EXPECT_FALSE(entry & HuffDecodeTable::kSlow) << s;
            // All extra bits set: the last distance of the row.
            const uint32_t extra = rows.distances[s].extraBits;
            const uint64_t bits = streamBits(s, 5) | (((uint64_t(1) << extra) - 1) << 5);
            EXPECT_EQ(entryValue(entry, bits), rows.distances[s].base + (1u << extra) - 1) << s;
            EXPECT_EQ(entryBits(entry), 5 + extra) << s;
        }
    }
}

TEST(HuffDecodeTable, SharedPrefixesKeepTheLastSymbolAndTheMostBits) {
    // Three 1-bit codes: 0 -> "0", 1 -> "1", and 2 gets the code 2, whose low bit is "0".
    // Then 3 with 2 bits gets code 6 ("10" in its low bits): the entries of "01" carry it.
    const uint8_t lengths[] = {1, 1, 1, 2};
    const auto table = std::make_unique<CodeLengthTable>();
    table->build(lengths, 4);
    uint32_t entry = 0;
    // "0" then "1": entry "10" reversed; symbol 3 wrote there last, with 2 bits.
    EXPECT_EQ(table->decode(streamBits(0b10, 2), 2, entry), 2);
    EXPECT_EQ(entry >> 16, 3u);
    // "1" then "1": symbol 1, with 1 bit.
    EXPECT_EQ(table->decode(streamBits(0b11, 2), 2, entry), 1);
    EXPECT_EQ(entry >> 16, 1u);
    // "0" then "0": symbol 2 wrote there after symbol 0.
    EXPECT_EQ(table->decode(streamBits(0b00, 2), 2, entry), 1);
    EXPECT_EQ(entry >> 16, 2u);
}

} // namespace
