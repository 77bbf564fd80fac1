// Explode: round trips through the test encoder in all four variants, hand-made streams for the
// rules the format fixes (raw literals, minimum match lengths, the length symbol 63, matches
// reaching before the start), the size bound, truncated data and malformed trees and codes.
#include "DecodeRun.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

const ImplodeOptions kVariants[] = {
    {.eightKDictionary = false, .literalTree = false},
    {.eightKDictionary = false, .literalTree = true},
    {.eightKDictionary = true, .literalTree = false},
    {.eightKDictionary = true, .literalTree = true},
};

std::string variantName(const ImplodeOptions& o) {
    return std::string(o.eightKDictionary ? "8K" : "4K") +
           (o.literalTree ? " with literal tree" : " without literal tree");
}

// Random bytes, then a repeat of their start from 6000 bytes back: a match only the 8 KB
// dictionary reaches.
Bytes farRepeat() {
    Bytes data = sampleRandom(6000, 11);
    data.insert(data.end(), data.begin(), data.begin() + 500);
    return data;
}

bool hasMatch(const std::vector<ImplodeToken>& tokens, uint32_t minDistance, uint32_t length) {
    return std::any_of(tokens.begin(), tokens.end(), [&](const ImplodeToken& t) {
        return t.distance >= minDistance && (length == 0 || t.length == length);
    });
}

TEST(Explode, RoundTripsThroughTheEncoder) {
    const std::pair<const char*, Bytes> samples[] = {
        {"text", sampleText(40000, 12)},
        {"random bytes", sampleRandom(3000, 13)},
        {"far repeat", farRepeat()},
        {"one byte repeated", Bytes(1000, 'x')},
    };
    for (const ImplodeOptions& options : kVariants) {
        for (const auto& [name, data] : samples) {
            SCOPED_TRACE(variantName(options) + ", " + name);
            const std::vector<ImplodeToken> tokens = findMatches(data, options);
            const DecodeResult r = explode(implodeTokens(tokens, options), options, data.size());
            ASSERT_TRUE(r.ok);
            EXPECT_TRUE(r.output == data);
            EXPECT_TRUE(r.errors.empty());
            EXPECT_TRUE(r.infos.empty());
        }
        const std::vector<ImplodeToken> far = findMatches(farRepeat(), options);
        EXPECT_EQ(hasMatch(far, 4097, 0), options.eightKDictionary);
        const std::vector<ImplodeToken> run = findMatches(Bytes(1000, 'x'), options);
        EXPECT_TRUE(hasMatch(run, 1, maxMatchLength(options)));
    }
}

// Trees where every symbol has one bit length: symbol s then has the code count-1-s.
void uniformTree(BitWriter& w, int symbols, int bitLength) {
    w.byte(uint8_t(symbols / 16 - 1));
    for (int run = 0; run < symbols / 16; ++run)
        w.byte(uint8_t(0xF0 | (bitLength - 1)));
}

struct HandStream {
    BitWriter w;
    ImplodeOptions options;
    int literalBits, lengthBits, distanceBits;

    HandStream(ImplodeOptions o, int literal, int length, int distance)
        : options(o), literalBits(literal), lengthBits(length), distanceBits(distance) {
        if (o.literalTree)
            uniformTree(w, 256, literal);
        uniformTree(w, 64, length);
        uniformTree(w, 64, distance);
    }
    HandStream& literal(uint8_t b) {
        w.bits(1, 1);
        if (options.literalTree)
            w.codeFromTop(255 - b, literalBits);
        else
            w.byte(b);
        return *this;
    }
    // A match by its symbols and raw bits.
    HandStream& match(uint32_t low, uint32_t distanceSymbol, uint32_t lengthSymbol,
                      int extra = -1) {
        w.bits(0, 1);
        w.bits(low, options.eightKDictionary ? 7 : 6);
        w.codeFromTop(63 - distanceSymbol, distanceBits);
        w.codeFromTop(63 - lengthSymbol, lengthBits);
        if (extra >= 0)
            w.byte(uint8_t(extra));
        return *this;
    }
    HandStream& ones(int count) {
        w.bits((1u << count) - 1, count);
        return *this;
    }
};

HandStream& allBytes(HandStream&& s) {
    for (int b = 0; b < 256; ++b)
        s.literal(uint8_t(b));
    return s;
}

std::string allBytesText() {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    return all;
}

std::string text(const Bytes& b) {
    return std::string(b.begin(), b.end());
}

TEST(Explode, FollowsTheFormatsFixedRules) {
    const ImplodeOptions plain4K{}, literals4K{.literalTree = true},
        literals8K{.eightKDictionary = true, .literalTree = true};
    struct Case {
        const char* name;
        HandStream stream;
        std::string expected;
    } cases[] = {
        {"raw literals and a match of the minimum length 2",
         std::move(HandStream(plain4K, 8, 6, 6).literal('a').literal('b').match(1, 0, 0)), "abab"},
        {"coded literals and a match of the minimum length 3",
         std::move(HandStream(literals4K, 8, 6, 6).literal('a').literal('b').match(1, 0, 0)),
         "ababa"},
        {"length symbol 63 adds 8 raw bits: 3 + 63 + 255",
         std::move(HandStream(literals4K, 8, 6, 6).literal('z').match(0, 0, 63, 255)),
         "z" + std::string(321, 'z')},
        // After the bytes 0-255: distance 256 reaches byte 0, then 128 reaches byte 131.
        {"the distance is the tree symbol above 6 low bits, plus 1",
         std::move(allBytes(HandStream(plain4K, 8, 6, 6)).match(0x3F, 3, 1).match(0x3F, 1, 1)),
         allBytesText() + std::string("\0\1\2\x83\x84\x85", 6)},
        {"the distance is the tree symbol above 7 low bits, plus 1",
         std::move(allBytes(HandStream(literals8K, 8, 6, 6)).match(0x7F, 1, 0).match(0x7F, 0, 0)),
         allBytesText() + std::string("\0\1\2\x83\x84\x85", 6)},
        {"a match before the start of the output gives zeros",
         std::move(HandStream(plain4K, 8, 6, 6).match(4, 0, 1).literal('a')),
         std::string("\0\0\0a", 4)},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodeResult r = explode(c.stream.w.finish(), c.stream.options, c.expected.size());
        ASSERT_TRUE(r.ok);
        EXPECT_EQ(text(r.output), c.expected);
    }
}

TEST(Explode, StopsAtTheExpectedSizeOrWhereTheDataEnds) {
    const ImplodeOptions options{.literalTree = true};
    const Bytes data = sampleText(8000, 14);
    Bytes packed = implodeTokens(findMatches(data, options), options);

    const DecodeResult bounded = explode(packed, options, 777);
    ASSERT_TRUE(bounded.ok);
    EXPECT_TRUE(bounded.output == Bytes(data.begin(), data.begin() + 777));
    EXPECT_TRUE(bounded.infos.empty());

    packed.resize(packed.size() / 2);
    const DecodeResult cut = explode(packed, options, data.size());
    ASSERT_TRUE(cut.ok);
    ASSERT_LT(cut.output.size(), data.size());
    EXPECT_GT(cut.output.size(), 0u);
    EXPECT_TRUE(std::equal(cut.output.begin(), cut.output.end(), data.begin()));
    EXPECT_TRUE(cut.hasInfo(kEndedEarly));
}

TEST(Explode, MalformedTreesAndCodesFail) {
    const ImplodeOptions plain{}, literals{.literalTree = true};
    auto tooManyRuns = [](BitWriter& w) {
        w.byte(16); // 17 runs of 16 symbols: 272
        for (int i = 0; i < 17; ++i)
            w.byte(0xF7);
    };
    struct Case {
        const char* name;
        ImplodeOptions options;
        BitWriter stream;
        std::vector<std::string> errors;
    };
    std::vector<Case> cases;
    {
        Case c{"literal tree of 272 symbols", literals, {}, {}};
        tooManyRuns(c.stream);
        c.errors = {"(Implode) ReadLengths failed.", "(Implode) Loading of LitTree failed."};
        cases.push_back(std::move(c));
    }
    {
        Case c{"length tree cut short", plain, {}, {}};
        c.stream.byte(3);
        c.stream.byte(0xF5);
        c.errors = {"(Implode) ReadLengths failed.", "(Implode) Loading of LengthTree failed."};
        cases.push_back(std::move(c));
    }
    {
        Case c{"distance tree of 272 symbols", plain, {}, {}};
        uniformTree(c.stream, 64, 6);
        tooManyRuns(c.stream);
        c.errors = {"(Implode) ReadLengths failed.", "(Implode) Loading of DistanceTree failed."};
        cases.push_back(std::move(c));
    }
    // Incomplete trees (9 and 7 bits for 256 and 64 symbols): all ones is no code.
    auto badCode = [&](const char* name, auto&& write, const char* error) {
        HandStream s(literals, 9, 7, 7);
        write(s);
        cases.push_back({name, literals, std::move(s.w), {error}});
    };
    badCode(
        "literal code",
        [](HandStream& s) {
            s.literal('a').w.bits(1, 1);
            s.ones(9);
        },
        "Failed to read shannon-fano tree (1)");
    badCode(
        "distance code",
        [](HandStream& s) {
            s.w.bits(0, 7);
            s.ones(7).ones(7);
        },
        "Failed to read shannon-fano tree (2)");
    badCode(
        "length code",
        [](HandStream& s) {
            s.w.bits(0, 7);
            s.w.codeFromTop(63, 7);
            s.ones(7);
        },
        "Failed to read shannon-fano tree (3)");

    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodeResult r = explode(c.stream.finish(), c.options, 1000);
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.errors, c.errors);
    }
}

} // namespace
