#include "Convert.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

struct DecodeCase {
    const char* what;
    std::string utf8;
    std::u16string units;
};

TEST(Utf8Decode, Sequences) {
    const DecodeCase cases[] = {
        {"ascii", "Az~", u"Az~"},
        {"nul byte", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"two bytes", "\xC3\xA9\xDF\xBF", u"\u00E9\u07FF"},
        {"three bytes", "\xE0\xA0\x80\xE2\x82\xAC\xEF\xBF\xBF", u"\u0800\u20AC\uFFFF"},
        {"encoded surrogate accepted", "\xED\xA0\x80", u"\xD800"},
        {"four bytes never decode", "a\xF0\x9F\x98\x80z", u"az"},
        {"overlong three bytes", "\xE0\x80\x80", u""},
        {"overlong two bytes", "\xC0\xAF\xC1\xBF", u""},
        {"cut short at the end", "ab\xE2\x82", u"ab"},
        {"lead without continuation",
         "\xC3"
         "A",
         u"A"},
        {"stray continuation", "\x80x\xBF", u"x"},
        {"lead F8-FF", "\xF8\xFE\xFFok", u"ok"},
        // Non-ASCII at every offset of the eight-byte fast path.
        {"fast path edge",
         "1234567\xC3\xA9"
         "9abcdefgh\xC3\xA9",
         u"1234567\u00E99abcdefgh\u00E9"},
    };
    for (const DecodeCase& c : cases) {
        Converted r = encConvert(65001, 1200, c.utf8);
        EXPECT_TRUE(r.ok) << c.what; // invalid bytes are dropped, never fail
        EXPECT_EQ(r.bytes, le(c.units)) << c.what;
    }
}

struct EncodeCase {
    const char* what;
    std::u16string units;
    std::string utf8;
};

TEST(Utf8Encode, Units) {
    const EncodeCase cases[] = {
        {"ascii", u"Az~", "Az~"},
        {"unit 0 dropped", std::u16string(u"a\0b\0\0\0\0\0\0\0c", 11), "abc"},
        {"boundaries", u"\u007F\u0080\u07FF\u0800\uFFFF",
         "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
        {"surrogate pair as two sequences", u"\xD83D\xDE00", "\xED\xA0\xBD\xED\xB8\x80"},
        {"fast path edge", u"abcdefg\u00E9hijklmn", "abcdefg\xC3\xA9hijklmn"},
    };
    for (const EncodeCase& c : cases) {
        Converted r = encConvert(1200, 65001, le(c.units));
        EXPECT_TRUE(r.ok) << c.what;
        EXPECT_EQ(r.bytes, c.utf8) << c.what;
    }
}

TEST(Utf8Encode, OddLengthDropsTheLastByteAndFails) {
    Converted odd = encConvert(1200, 65001, le(u"ab") + "c");
    EXPECT_FALSE(odd.ok);
    EXPECT_EQ(odd.bytes, "ab");
    Converted single = encConvert(1200, 65001, "a");
    EXPECT_FALSE(single.ok);
    EXPECT_EQ(single.bytes, "");
}

TEST(Utf8, EveryUnitRoundTrips) {
    std::u16string all;
    for (uint32_t u = 1; u <= 0xFFFF; ++u)
        all += char16_t(u);
    Converted utf8 = encConvert(1200, 65001, le(all));
    ASSERT_TRUE(utf8.ok);
    Converted back = encConvert(65001, 1200, utf8.bytes);
    ASSERT_TRUE(back.ok);
    EXPECT_EQ(back.bytes, le(all));
}

// ASCII runs go a block at a time; a character of another kind at any
// position of a block must still come out in its place.
TEST(Utf8, OtherCharactersInsideAsciiRuns) {
    const std::u16string others[] = {u"\u00E9", u"\u20AC", std::u16string(1, u'\0')};
    for (const std::u16string& other : others) {
        for (size_t at = 0; at < 40; ++at) {
            std::u16string units(48, u'a');
            units.replace(at, 1, other);
            Converted utf8 = encConvert(1200, 65001, le(units));
            std::u16string expected = other[0] ? units : units.substr(0, at) + units.substr(at + 1);
            Converted back = encConvert(65001, 1200, utf8.bytes);
            EXPECT_EQ(back.bytes, le(expected)) << at;
        }
    }
}

TEST(Utf8Decode, AppendsToWhatIsThere) {
    EncodingConvert converter;
    LogNull log;
    DataBuffer out;
    ASSERT_TRUE(out.append("XY", 2));
    ASSERT_TRUE(converter.convertToUnicode("a", 1, out, log));
    EXPECT_EQ(bytesOf(out), std::string("XYa\0", 4));
}

} // namespace
