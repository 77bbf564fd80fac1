// The encodings converted by a coder of their own rather than a table:
// UTF-7, UTF-32, ISO-2022-JP and -KR, and Mac Arabic's preparation.
#include "Convert.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += char(v);
    return s;
}

TEST(Utf7, EncodesAndDecodes) {
    const ConvertCase cases[] = {
        {"direct characters and a run", 1200, 65000, le(u"Hi Mom -\u263A-!"), true,
         "Hi Mom -+Jjo--+ACE-"},
        {"a run of three units", 1200, 65000, le(u"\u65E5\u672C\u8A9E"), true, "+ZeVnLIqe-"},
        {"plus sign", 1200, 65000, le(u"A+B"), true, "A+-B"},
        {"leading byte-order mark dropped", 1200, 65000, le(u"\uFEFFa"), true, "a"},
        {"from UTF-8", 65001, 65000, "\xC3\xA9t\xC3\xA9", true, "+AOk-t+AOk-"},
        {"decoded", 65000, 1200, "Hi Mom -+Jjo--!", true, le(u"Hi Mom -\u263A-!")},
        {"run closed by the end", 65000, 1200, "+AGEAYgBj", true, le(u"abc")},
        {"plus minus", 65000, 1200, "A+-B", true, le(u"A+B")},
        {"to UTF-8", 65000, 65001, "+ZeVnLIqe-", true, "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"},
        {"eight-bit byte", 65000, 1200,
         "a\x80"
         "b",
         false, le(u"ab")},
        {"left-over bits", 65000, 1200, "+AGEA-", false, le(u"a")},
    };
    for (const ConvertCase& c : cases)
        expectConverted(c);
}

TEST(Utf32, EncodesAndDecodes) {
    const ConvertCase cases[] = {
        {"little-endian from UTF-8", 65001, 65005, "A\xC3\xA9", true,
         bytes({'A', 0, 0, 0, 0xE9, 0, 0, 0})},
        {"big-endian from a surrogate pair", 1200, 65006, le(u"\xD83D\xDE00"), true,
         bytes({0, 1, 0xF6, 0})},
        {"to UTF-8 in four bytes", 65005, 65001, bytes({0, 0xF6, 1, 0}), true, "\xF0\x9F\x98\x80"},
        // Through the pivot the character stays: as a surrogate pair.
        {"to UTF-16 as a pair", 65005, 1200, bytes({0, 0xF6, 1, 0}), true, le(u"\xD83D\xDE00")},
        {"big-endian mark under 65005", 65005, 65001, bytes({0, 0, 0xFE, 0xFF, 0, 0, 0, 'A'}), true,
         "A"},
        {"little-endian mark under 65006", 65006, 65001, bytes({0xFF, 0xFE, 0, 0, 'A', 0, 0, 0}),
         true, "A"},
        {"only a mark", 65006, 1200, bytes({0, 0, 0xFE, 0xFF}), true, ""},
        {"whole units only", 65005, 65001, bytes({'A', 0, 0, 0, 'B'}), true, "A"},
        {"past U+10FFFF", 65005, 65001, bytes({0, 0, 0x11, 0, 'B', 0, 0, 0}), false, "B"},
        {"to a code page", 65006, 1252, bytes({0, 0, 0, 0xE9, 0, 0, 0x20, 0xAC}), true, "\xE9\x80"},
    };
    for (const ConvertCase& c : cases)
        expectConverted(c);
}

TEST(Iso2022Jp, EncodesAndDecodes) {
    const ConvertCase cases[] = {
        {"kanji between ASCII", 932, 50220,
         "A\x82\xA0"
         "B",
         true, "A\x1B$B$\"\x1B(BB"},
        {"back to ASCII at the end", 932, 50221, "\x88\x9F", true, "\x1B$B0!\x1B(B"},
        {"half-width kana become full-width", 932, 50222, "\xB1", true, "\x1B$B%\"\x1B(B"},
        {"voiced mark joins its base", 932, 50220, "\xB6\xDE", true, "\x1B$B%,\x1B(B"},
        {"semi-voiced mark joins its base", 932, 50220, "\xCA\xDF", true, "\x1B$B%Q\x1B(B"},
        {"a mark that cannot join", 932, 50220, "\xB1\xDE", true, "\x1B$B%\"!+\x1B(B"},
        {"extension rows have no 7-bit form", 932, 50220, "a\xFA\x40", false, "a"},
        {"from UTF-16", 1200, 50220, le(u"\u3042x"), true, "\x1B$B$\"\x1B(Bx"},
        {"decoded to 932", 50221, 932, "\x1B$B0!\x1B(Bx", true, "\x88\x9Fx"},
        {"ESC $ @ and ESC ( J", 50220, 1200, "\x1B$@$\"\x1B(Jx", true, le(u"\u3042x")},
        {"kana set", 50221, 1200, "\x1B(I1\x1B(Bx", true, le(u"\uFF71x")},
        {"shift out and in", 50222, 1200,
         "\x0E"
         "1\x0Fx",
         true, le(u"\uFF71x")},
        {"to UTF-8", 50220, 65001, "\x1B$B$\"\x1B(B", true, "\xE3\x81\x82"},
        {"half a character", 50220, 1200, "\x1B$B$", false, ""},
    };
    for (const ConvertCase& c : cases)
        expectConverted(c);
}

TEST(Iso2022Kr, EncodesAndDecodes) {
    const ConvertCase cases[] = {
        {"hangul between ASCII", 949, 50225,
         "a\xB0\xA1"
         "b",
         true,
         "\x1B$)Ca\x0E"
         "0!\x0F"
         "b"},
        {"shift in at the end", 1200, 50225, le(u"\uAC00"), true,
         "\x1B$)C\x0E"
         "0!\x0F"},
        {"ASCII needs no designation", 949, 50225, "ab", true, "ab"},
        {"extension hangul have no 7-bit form", 949, 50225, "\x81\x41", false, "\x1B$)C"},
        {"decoded", 50225, 1200,
         "\x1B$)Ca\x0E"
         "0!\x0F"
         "b",
         true, le(u"a\uAC00b")},
        {"decoded to 949", 50225, 949,
         "\x1B$)C\x0E"
         "0!\x0F",
         true, "\xB0\xA1"},
    };
    for (const ConvertCase& c : cases)
        expectConverted(c);
}

// 10004 text: right-to-left runs reversed, right-to-left digits folded.
TEST(MacArabic, IsPreparedBeforeItsTable) {
    const ConvertCase cases[] = {
        {"a run of two is reversed", 10004, 1200, "\xC7\xC8", true, le(u"\u0628\u0627")},
        {"one character stays", 10004, 1200,
         "a\xC7"
         "b",
         true, le(u"a\u0627b")},
        {"digits fold to ASCII", 10004, 1200, "\xB1\xB2", true, le(u"12")},
        {"punctuation folds", 10004, 1200, "\xA1\xBA", true, le(u"!:")},
        {"reversed, then folded", 10004, 65001, "\xC7\xC8\xB3", true,
         "\xD8\xA8\xD8\xA7"
         "3"},
    };
    for (const ConvertCase& c : cases)
        expectConverted(c);
    // convert_a takes the bytes as they are.
    EXPECT_EQ(convertA(10004, 1200, "\xC7\xC8").bytes, le(u"\u0627\u0628"));
}

} // namespace
