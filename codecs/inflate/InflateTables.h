// The fixed parts of the deflate format the decoder needs: the rows that turn length and distance
// symbols into values, the order of the code-length code lengths, and the fixed Huffman codes.
#pragma once

#include <cstdint>

namespace vexmar {

class HuffDecodeTable;

namespace deflate_format {

constexpr int kMaxLiteralLengthCodes = 288;
constexpr int kMaxDistanceCodes = 32;
constexpr int kCodeLengthCodes = 19;
constexpr int kMaxCodeLength = 15;
constexpr int kEndOfBlock = 256;
constexpr int kFirstLengthSymbol = 257;
constexpr int kLengthRowCount = 29; // symbols 257 to 285
constexpr int kMaxDeflateMatch = 258; // symbol 285 in deflate

// One symbol's row: the value is base + the next extraBits bits of the stream.
struct CodeRow {
    uint16_t symbol;
    uint8_t extraBits;
    uint16_t base;
};

// The rows of one flavour of the format. Plain deflate has 30 distance rows; Deflate64 has 32 and
// a different length row for symbol 285.
struct CodeRows {
    const CodeRow* lengths; // kLengthRowCount rows, for symbols 257 to 285
    const CodeRow* distances;
    int distanceCount;
};

const CodeRows& codeRows(bool deflate64);

// The positions at which the code-length code lengths arrive in a dynamic block header.
extern const uint8_t kCodeLengthOrder[kCodeLengthCodes];

// The decode tables of the fixed codes of block type 1, built once per process. The first caller
// builds them; callers that arrive meanwhile wait until they are complete.
// Each with the rows of plain deflate [0] and Deflate64 [1].
struct FixedTables {
    const HuffDecodeTable* literalLength[2];
    const HuffDecodeTable* distance[2];
};

const FixedTables& fixedTables();

} // namespace deflate_format

} // namespace vexmar
