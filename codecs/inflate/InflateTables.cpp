// The length and distance rows of RFC 1951 3.2.5, their Deflate64 variants, and the shared
// decode tables of the fixed codes (RFC 1951 3.2.6).
#include "codecs/inflate/InflateTables.h"

#include "codecs/inflate/HuffDecodeTable.h"

#include <array>

namespace vexmar {

namespace deflate_format {
namespace {

constexpr CodeRow kLengthRows[kLengthRowCount] = {
    {257, 0, 3},   {258, 0, 4},   {259, 0, 5},   {260, 0, 6},   {261, 0, 7},   {262, 0, 8},
    {263, 0, 9},   {264, 0, 10},  {265, 1, 11},  {266, 1, 13},  {267, 1, 15},  {268, 1, 17},
    {269, 2, 19},  {270, 2, 23},  {271, 2, 27},  {272, 2, 31},  {273, 3, 35},  {274, 3, 43},
    {275, 3, 51},  {276, 3, 59},  {277, 4, 67},  {278, 4, 83},  {279, 4, 99},  {280, 4, 115},
    {281, 5, 131}, {282, 5, 163}, {283, 5, 195}, {284, 5, 227}, {285, 0, 258},
};

// Deflate64 gives symbol 285 16 extra bits on base 3: lengths up to 65538.
constexpr std::array<CodeRow, kLengthRowCount> deflate64LengthRows() {
    std::array<CodeRow, kLengthRowCount> rows = std::to_array(kLengthRows);
    rows[kLengthRowCount - 1] = {285, 16, 3};
    return rows;
}
constexpr std::array<CodeRow, kLengthRowCount> kDeflate64LengthRows = deflate64LengthRows();

// Symbols 30 and 31 are Deflate64's, for distances up to 65536; plain deflate stops at 29.
constexpr CodeRow kDistanceRows[kMaxDistanceCodes] = {
    {0, 0, 1},       {1, 0, 2},       {2, 0, 3},       {3, 0, 4},       {4, 1, 5},
    {5, 1, 7},       {6, 2, 9},       {7, 2, 13},      {8, 3, 17},      {9, 3, 25},
    {10, 4, 33},     {11, 4, 49},     {12, 5, 65},     {13, 5, 97},     {14, 6, 129},
    {15, 6, 193},    {16, 7, 257},    {17, 7, 385},    {18, 8, 513},    {19, 8, 769},
    {20, 9, 1025},   {21, 9, 1537},   {22, 10, 2049},  {23, 10, 3073},  {24, 11, 4097},
    {25, 11, 6145},  {26, 12, 8193},  {27, 12, 12289}, {28, 13, 16385}, {29, 13, 24577},
    {30, 14, 32769}, {31, 14, 49153},
};

constexpr CodeRows kDeflateRows = {kLengthRows, kDistanceRows, 30};
constexpr CodeRows kDeflate64Rows = {kDeflate64LengthRows.data(), kDistanceRows, kMaxDistanceCodes};

// Owns what FixedTables points to; built by the first fixedTables() call.
struct FixedTableStore {
    DecodeTableFor<HuffDecodeTable::Alphabet::kLiteralLength> literalLength[2];
    DecodeTableFor<HuffDecodeTable::Alphabet::kDistance> distance[2];
    FixedTables view{};

    FixedTableStore() {
        uint8_t lengths[kMaxLiteralLengthCodes];
        for (int s = 0; s < kMaxLiteralLengthCodes; ++s)
            lengths[s] = s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8;
        uint8_t distanceLengths[kMaxDistanceCodes];
        for (int s = 0; s < kMaxDistanceCodes; ++s)
            distanceLengths[s] = 5;
        for (int flavour = 0; flavour < 2; ++flavour) {
            literalLength[flavour].build(lengths, kMaxLiteralLengthCodes, flavour == 1);
            distance[flavour].build(distanceLengths, kMaxDistanceCodes, flavour == 1);
        }
        view = {{&literalLength[0], &literalLength[1]}, {&distance[0], &distance[1]}};
    }
};

} // namespace

const uint8_t kCodeLengthOrder[kCodeLengthCodes] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                    11, 4,  12, 3, 13, 2, 14, 1, 15};

const CodeRows& codeRows(bool deflate64) {
    return deflate64 ? kDeflate64Rows : kDeflateRows;
}

const FixedTables& fixedTables() {
    // A function-local static is built exactly once; concurrent first callers wait for it.
    static const FixedTableStore store;
    return store.view;
}

} // namespace deflate_format

} // namespace vexmar
