// Hand-made streams: every decode error number, the failures without one, and the places where
// the decoder is lenient: data the format leaves undefined rather than invalid.
#include "InflateSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vexmar;

namespace {

struct Code {
    uint32_t code;
    int length;
};

// The canonical code of the lengths (RFC 1951 3.2.2).
std::vector<Code> canonicalCodes(const Bytes& lengths) {
    int count[16] = {};
    for (uint8_t l : lengths)
        ++count[l];
    count[0] = 0;
    uint32_t next[16] = {};
    for (int len = 1, code = 0; len < 16; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = uint32_t(code);
    }
    std::vector<Code> codes(lengths.size());
    for (size_t s = 0; s < lengths.size(); ++s)
        if (lengths[s] != 0)
            codes[s] = {next[lengths[s]]++, lengths[s]};
    return codes;
}

struct ClSymbol {
    int symbol;
    uint32_t extra;
};

// A dynamic block header. Its code-length code gives the lengths 0-15 5 bits and the repeat
// symbols 16-18 3 bits; `sequence` is what is sent with it.
void dynamicHeader(BitWriter& w, bool final, int hlit, int hdist,
                   const std::vector<ClSymbol>& sequence) {
    static const int kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                   11, 4,  12, 3, 13, 2, 14, 1, 15};
    Bytes clLengths(19, 5);
    clLengths[16] = clLengths[17] = clLengths[18] = 3;
    const std::vector<Code> clCodes = canonicalCodes(clLengths);
    w.bits(final ? 1 : 0, 1);
    w.bits(2, 2);
    w.bits(uint32_t(hlit - 257), 5);
    w.bits(uint32_t(hdist - 1), 5);
    w.bits(19 - 4, 4);
    for (int s : kOrder)
        w.bits(clLengths[s], 3);
    static const int kExtraBits[19] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 3, 7};
    for (const ClSymbol& c : sequence) {
        w.code(clCodes[c.symbol].code, clCodes[c.symbol].length);
        w.bits(c.extra, kExtraBits[c.symbol]);
    }
}

// The same for plain lengths, returning the codes of both alphabets.
std::pair<std::vector<Code>, std::vector<Code>> dynamicHeader(BitWriter& w, const Bytes& literal,
                                                              const Bytes& distance) {
    std::vector<ClSymbol> sequence;
    for (uint8_t l : literal)
        sequence.push_back({l, 0});
    for (uint8_t l : distance)
        sequence.push_back({l, 0});
    dynamicHeader(w, true, int(literal.size()), int(distance.size()), sequence);
    return {canonicalCodes(literal), canonicalCodes(distance)};
}

void put(BitWriter& w, const Code& c) {
    w.code(c.code, c.length);
}

// 'A', end of block and length 3 get 2-bit codes: one 2-bit code is unused. The distance code
// has one 1-bit code: the other is unused.
Bytes incompleteLiteralLengths() {
    Bytes lengths(258, 0);
    lengths['A'] = lengths[256] = lengths[257] = 2;
    return lengths;
}

Bytes invalidCodeLengthCode() {
    // HCLEN 4 gives lengths to 16, 17, 18 and 0 only: 18 alone has a code, the bit 0.
    BitWriter w;
    w.bits(1, 1);
    w.bits(2, 2);
    w.bits(0, 5);
    w.bits(0, 5);
    w.bits(0, 4);
    for (uint32_t length : {0u, 0u, 1u, 0u})
        w.bits(length, 3);
    w.code(1, 1);
    return w.finish();
}

Bytes invalidLiteralLengthCode() {
    BitWriter w;
    const auto [lit, dist] = dynamicHeader(w, incompleteLiteralLengths(), {1});
    put(w, lit['A']);
    w.code(3, 2);
    return w.finish();
}

Bytes invalidDistanceCode() {
    BitWriter w;
    const auto [lit, dist] = dynamicHeader(w, incompleteLiteralLengths(), {1});
    put(w, lit['A']);
    put(w, lit[257]);
    w.code(1, 1);
    return w.finish();
}

// A fixed-code block of 'x' and then a length 3 at the given distance symbol with its extra bits
// all 0: symbols 30 and 31 are Deflate64's, with no meaning in plain deflate.
Bytes distanceSymbol(uint32_t symbol) {
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    fixedLiteralLength(w, 'x');
    fixedLiteralLength(w, 257);
    w.code(symbol, 5);
    w.bits(0, 14);
    fixedLiteralLength(w, 256);
    return w.finish();
}

// A fixed-code block of 'a' and then a literal/length symbol the format leaves without a row.
Bytes literalLengthSymbol(int symbol) {
    BitWriter w;
    w.bits(1, 1);
    w.bits(1, 2);
    fixedLiteralLength(w, 'a');
    fixedLiteralLength(w, symbol);
    fixedLiteralLength(w, 'b');
    fixedLiteralLength(w, 256);
    return w.finish();
}

// The reserved block type 3, then a sound final block.
Bytes blockType3() {
    BitWriter w;
    w.bits(0, 1);
    w.bits(3, 2);
    fixedBlock(w, {literal('o'), literal('k')}, true, false);
    return w.finish();
}

Bytes storedLengthMismatch() {
    return {0x01, 0x05, 0x00, 0x00, 0x00, 'a', 'b', 'c', 'd', 'e'};
}

// Enough output to fill the window's area, so that it must be handed on mid-block: by
// literals, by a match that crosses the area's end, or by stored bytes.
Bytes literalsPastTheArea() {
    std::vector<Token> tokens;
    for (uint32_t i = 0; i < InflateWindow::kAreaSize + 10; ++i)
        tokens.push_back(literal(uint8_t(i % 7)));
    BitWriter w;
    fixedBlock(w, tokens, true, false);
    return w.finish();
}

Bytes matchAcrossTheArea() {
    std::vector<Token> tokens;
    for (uint32_t i = 0; i < InflateWindow::kAreaSize - 100; ++i)
        tokens.push_back(literal(uint8_t(i % 7)));
    tokens.push_back(match(258, 1));
    BitWriter w;
    fixedBlock(w, tokens, true, false);
    return w.finish();
}

Bytes storedPastTheArea() {
    BitWriter w;
    for (int block = 0; block < 5; ++block) {
        w.bits(block == 4 ? 1 : 0, 1);
        w.bits(0, 2);
        w.alignToByte();
        w.bits(0xFFFF, 16);
        w.bits(0x0000, 16);
        for (int i = 0; i < 0xFFFF; ++i)
            w.byte(uint8_t(i));
    }
    return w.finish();
}

struct ErrorCase {
    const char* name;
    std::function<Bytes()> stream;
    InflateError expected;
    // Writes fail once the window's area is handed on whole, not before.
    bool failingOutput;
    bool deflate64 = false;
};

const ErrorCase kErrorCases[] = {
    {"codeLengthCode", invalidCodeLengthCode, InflateError::kCodeLengthCode, false},
    {"literalLengthCode", invalidLiteralLengthCode, InflateError::kLiteralLengthCode, false},
    {"literalWrite", literalsPastTheArea, InflateError::kLiteralWrite, true},
    {"distanceCode", invalidDistanceCode, InflateError::kDistanceCode, false},
    {"distanceSymbol30", [] { return distanceSymbol(30); }, InflateError::kDistanceCode, false},
    {"distanceSymbol31", [] { return distanceSymbol(31); }, InflateError::kDistanceCode, false},
    {"literalLengthSymbol286", [] { return literalLengthSymbol(286); },
     InflateError::kLiteralLengthCode, false},
    {"literalLengthSymbol287", [] { return literalLengthSymbol(287); },
     InflateError::kLiteralLengthCode, false},
    {"literalLengthSymbol286InDeflate64", [] { return literalLengthSymbol(286); },
     InflateError::kLiteralLengthCode, false, true},
    {"literalLengthSymbol287InDeflate64", [] { return literalLengthSymbol(287); },
     InflateError::kLiteralLengthCode, false, true},
    {"matchWrite", matchAcrossTheArea, InflateError::kMatchCopy, true},
    {"storedLength", storedLengthMismatch, InflateError::kStoredLength, false},
    {"storedWrite", storedPastTheArea, InflateError::kStoredWrite, true},
    {"blockType3", blockType3, InflateError::kReservedBlockType, false},
    {"blockType3InDeflate64", blockType3, InflateError::kReservedBlockType, false, true},
};

class DecodeErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(DecodeErrors, SameNumberWhateverThePathAndChunking) {
    const ErrorCase& c = GetParam();
    const Bytes stream = c.stream();
    for (bool fast : {true, false})
        for (uint32_t maxChunk : {0u, 1u, 9u}) {
            const DecodeResult r = decodeChunked(
                stream,
                {.deflate64 = c.deflate64,
                 .fastPath = fast,
                 .maxChunk = maxChunk,
                 .outputCapacity = c.failingOutput ? InflateWindow::kAreaSize - 1 : UINT64_MAX});
            EXPECT_FALSE(r.ok) << fast << " " << maxChunk;
            EXPECT_EQ(r.decodeError, static_cast<int>(c.expected)) << fast << " " << maxChunk;
            EXPECT_TRUE(r.log.hasError("inflate decode error."));
        }
    if (c.failingOutput) { // the same stream is sound
        EXPECT_TRUE(decodeChunked(stream).finished);
        return;
    }
    // Decoding in the output's room refuses damaged data with the same number.
    for (bool fast : {true, false}) {
        const DecodeResult r = decodeChunked(
            stream, {.deflate64 = c.deflate64, .fastPath = fast, .outputLimit = 1 << 20,
                     .placed = true});
        EXPECT_FALSE(r.ok) << fast;
        EXPECT_EQ(r.decodeError, static_cast<int>(c.expected)) << fast;
    }
}

INSTANTIATE_TEST_SUITE_P(Inflate, DecodeErrors, ::testing::ValuesIn(kErrorCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DecodeErrors, FailedHandOverAtChunkEndHasNoNumber) {
    const DecodeResult r =
        decodeChunked({0x01, 0x01, 0x00, 0xFE, 0xFF, 'x'}, {.outputCapacity = 0});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.decodeError, 0);
    EXPECT_TRUE(r.log.hasError("Failed to flush to output."));
}

struct LenientCase {
    const char* name;
    std::function<Bytes()> stream;
    std::string expected;
};

const LenientCase kLenientCases[] = {
    {"emptyStoredBlock", [] { return Bytes{0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x00}; }, ""},
    {"overlappingMatch",
     [] {
         BitWriter w;
         fixedBlock(w, {literal('z'), match(258, 1)}, true, false);
         return w.finish();
     },
     std::string(259, 'z')},
    {"distanceBeforeTheStartReadsZeros",
     [] {
         BitWriter w;
         fixedBlock(w, {literal('a'), match(4, 100)}, true, false);
         return w.finish();
     },
     std::string("a") + std::string(4, '\0')},
    {"distanceBeforeTheStartInALongBlock",
     [] {
         // Long enough for the fast loop; the match reaches 5 bytes before the start, then
         // repeats the first 15 bytes written.
         std::vector<Token> symbols;
         for (int i = 0; i < 40; ++i)
             symbols.push_back(literal('a' + i % 26));
         symbols.push_back(match(20, 45));
         for (int i = 0; i < 40; ++i)
             symbols.push_back(literal('A' + i % 26));
         BitWriter w;
         fixedBlock(w, symbols, true, false);
         return w.finish();
     },
     [] {
         std::string text;
         for (int i = 0; i < 40; ++i)
             text += char('a' + i % 26);
         text += std::string(5, '\0') + text.substr(0, 15);
         for (int i = 0; i < 40; ++i)
             text += char('A' + i % 26);
         return text;
     }()},
    {"repeatOfPreviousAtIndexZeroIsZero",
     [] {
         // 16 at index 0 repeats length 0 three times; then 'A' (65) and end of block get 1 bit.
         BitWriter w;
         dynamicHeader(
             w, true, 257, 1,
             {{16, 0}, {18, 62 - 11}, {1, 0}, {18, 138 - 11}, {18, 52 - 11}, {1, 0}, {1, 0}});
         w.code(0, 1);
         w.code(0, 1);
         w.code(1, 1);
         return w.finish();
     },
     "AA"},
    {"repeatStopsAtTheLastLength",
     [] {
         // The last 18 asks for 138 zeros where only 1 length is left: the distance length.
         BitWriter w;
         dynamicHeader(w, true, 257, 1,
                       {{18, 65 - 11}, {1, 0}, {18, 138 - 11}, {18, 52 - 11}, {1, 0}, {18, 127}});
         w.code(0, 1);
         w.code(1, 1);
         return w.finish();
     },
     "A"},
};

class Lenient : public ::testing::TestWithParam<LenientCase> {};

TEST_P(Lenient, DecodesAsDescribed) {
    const LenientCase& c = GetParam();
    for (bool placed : {false, true})
        for (uint32_t maxChunk : {0u, 1u}) {
            const DecodeResult r = decodeChunked(
                c.stream(), {.maxChunk = maxChunk,
                             .outputLimit = placed ? c.expected.size() : UINT64_MAX,
                             .placed = placed});
            ASSERT_TRUE(r.ok && r.finished) << (r.log.errors.empty() ? "" : r.log.errors.front());
            EXPECT_EQ(std::string(r.output.begin(), r.output.end()), c.expected);
            EXPECT_TRUE(r.guardIntact);
        }
}

INSTANTIATE_TEST_SUITE_P(Inflate, Lenient, ::testing::ValuesIn(kLenientCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
