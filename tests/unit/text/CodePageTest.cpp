// Every built-in code page: each mapped sequence goes to its character and
// back, a few characters agree with the published mappings, and what a page
// cannot convert goes to the error action.
#include "Convert.h"
#include "zip/base/text/CodePageTable.h"
#include "zip/base/text/MappingStream.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

using namespace vexmar;

namespace {

// The code pages converted through a table, as the converter lists them.
const std::vector<int>& tableCodePages() {
    static const std::vector<int> pages = [] {
        std::vector<int> v = {37,    437,   500,   708,   720,   737,   775,   850,   852,   855,
                              857,   858,   860,   861,   862,   863,   864,   865,   866,   869,
                              870,   874,   875,   1026,  1047,  10000, 10004, 10005, 10006, 10007,
                              10010, 10017, 10021, 10029, 10079, 10081, 10082, 20105, 20106, 20107,
                              20108, 20127, 20261, 20269, 20273, 20277, 20278, 20280, 20284, 20285,
                              20290, 20297, 20420, 20423, 20424, 20838, 20866, 20871, 20880, 20905,
                              20924, 21025, 21866, 28603, 28605, 38598, 932,   936,   949,   950,
                              1361,  10001, 51932, 51936, 51949, 52936};
        for (int cp = 1140; cp <= 1149; ++cp)
            v.push_back(cp);
        for (int cp = 1250; cp <= 1258; ++cp)
            v.push_back(cp);
        for (int cp = 28591; cp <= 28599; ++cp)
            v.push_back(cp);
        return v;
    }();
    return pages;
}

std::string sequenceOf(const MappingEntry& e) {
    std::string bytes;
    for (int i = e.length - 1; i >= 0; --i)
        bytes += char(e.code >> 8 * i);
    return bytes;
}

TEST(CodePages, EveryListedPageIsBuiltIn) {
    EXPECT_EQ(tableCodePages().size(), 104u); // 52936 shares the table of 936
    for (int cp : tableCodePages()) {
        EXPECT_TRUE(EncodingConvert::isKnownCodePage(cp)) << cp;
        EXPECT_NE(findCodePageTable(cp), nullptr) << cp;
    }
}

// Bytes to UTF-16 and back for every sequence of every page. Where several
// sequences share a character, the way back writes one of them. (convert_a,
// because EncConvert first folds some bytes of 10004.)
TEST(CodePages, EveryMappedSequenceRoundTrips) {
    for (int cp : tableCodePages()) {
        const CodePageTable* table = findCodePageTable(cp);
        ASSERT_NE(table, nullptr) << cp;
        std::map<char16_t, std::vector<std::string>> byUnit;
        MappingEntry e;
        for (MappingStream s = mappingOf(*table); s.next(e);)
            byUnit[e.unit].push_back(sequenceOf(e));
        ASSERT_GT(byUnit.size(), 100u) << cp;
        int failures = 0;
        for (const auto& [unit, sequences] : byUnit) {
            for (const std::string& bytes : sequences) {
                Converted wide = convertA(cp, 1200, bytes);
                if (!wide.ok || wide.bytes != le(std::u16string(1, unit))) {
                    ADD_FAILURE() << cp << ": sequence of U+" << std::hex << int(unit);
                    ++failures;
                }
            }
            // (After a byte-order mark, so that U+FEFF is not taken for one.)
            Converted back = encConvert(1200, cp, le(std::u16string(u"\uFEFF") + unit));
            bool known = false;
            for (const std::string& bytes : sequences)
                known = known || back.bytes == bytes;
            if (!back.ok || !known) {
                ADD_FAILURE() << cp << ": U+" << std::hex << int(unit) << " back";
                ++failures;
            }
            ASSERT_LT(failures, 5) << cp;
        }
    }
}

TEST(CodePages, AgreeWithThePublishedMappings) {
    struct Sample {
        int codePage;
        std::string bytes;
        char16_t unit;
    };
    const Sample samples[] = {
        {932, "\x82\xA0", u'\u3042'},
        {932, "\x88\x9F", u'\u4E9C'},
        {932, "\x87\x40", u'\u2460'},
        {932, "\xED\x40", u'\u7E8A'},
        {932, "\xA1", u'\uFF61'},
        {932, "\\", u'\\'},
        {936, "\x80", u'\u20AC'},
        {936, "\xB0\xA1", u'\u554A'},
        {936, "\x81\x40", u'\u4E02'},
        {52936, "\xB0\xA1", u'\u554A'},
        {949, "\xB0\xA1", u'\uAC00'},
        {949, "\x81\x41", u'\uAC02'},
        {950, "\xA4\x40", u'\u4E00'},
        {950, "\xA2\xA4", u'\u2550'},
        {1361, "\x88\x61", u'\uAC00'},
        {1361, "\xD9\x31", u'\u3000'},
        {10001, "\x82\xA0", u'\u3042'},
        {10001, "\xFD", u'\u00A9'},
        {51932, "\xA4\xA2", u'\u3042'},
        {51932, "\x8E\xB1", u'\uFF71'},
        {51932, "\x8F\xB0\xA1", u'\u4E02'},
        {51936, "\xB0\xA1", u'\u554A'},
        {51949, "\xB0\xA1", u'\uAC00'},
        {437, "\x82", u'\u00E9'},
        {866, "\x80", u'\u0410'},
        {20866, "\xC1", u'\u0430'},
        {1251, "\xC0", u'\u0410'},
        {1252, "\x80", u'\u20AC'},
        {37, "\xC1", u'A'},
        {1140, "\x9F", u'\u20AC'},
        {10000, "\x80", u'\u00C4'},
        {10006, "\xA1", u'\u0393'},
        {28591, "\xE9", u'\u00E9'},
        {1256, "\xC7", u'\u0627'},
        {28596, "\xC7", u'\u0627'},
        {874, "\xA1", u'\u0E01'},
    };
    for (const Sample& s : samples) {
        std::string unit = le(std::u16string(1, s.unit));
        Converted wide = encConvert(s.codePage, 1200, s.bytes);
        EXPECT_TRUE(wide.ok) << s.codePage;
        EXPECT_EQ(wide.bytes, unit) << s.codePage << " " << std::hex << int(s.unit);
        EXPECT_EQ(encConvert(1200, s.codePage, unit).bytes, s.bytes) << s.codePage;
    }
}

// Undecodable bytes go to the error action two at a time under the double-byte
// pages that say so, one at a time under the others; the result is false.
TEST(CodePages, UnmappedBytesFollowTheErrorAction) {
    struct Case {
        int codePage;
        int action;
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {932, 0, "A\x81 B", le(u"AB")},
        {932, 2, "A\x81 B", le(u"A&#x8120;B")},
        {932, 7, "A\x81 B", le(u"A") + "\x81 " + le(u"B")},
        {932, 8, "A\x81 B", le(u"A\u0081\u0020B")},
        {932, 2, "A\x81", le(u"A&#x81;")}, // cut short by the end
        {936, 2, "\xFE\xFF", le(u"&#xFEFF;")},
        {949, 2, "\xC9\x41", le(u"&#xC941;")},
        {950, 2, "\x80z", le(u"&#x807A;")},
        {51932, 2, "\xA9\xA1", le(u"&#xA9A1;")},
        {51936, 2, "\xAA\xA1", le(u"&#xAAA1;")},
        {51949, 2, "\xC9\xA1", le(u"&#xC9A1;")},
        // One byte at a time: the next byte is a character of its own.
        {1361, 2, "\xFFz", le(u"&#xFF;z")},
        {52936, 2, "\xFE\xFF", le(u"&#xFE;\uF8F5")},
        {1253, 2,
         "a\xAA"
         "b",
         le(u"a&#xAA;b")},
        {20127, 7, "a\x80", le(u"a") + "\x80"},
    };
    for (const Case& c : cases) {
        Converted r = encConvert(c.codePage, 1200, c.in, c.action);
        EXPECT_FALSE(r.ok) << c.codePage << " action " << c.action;
        EXPECT_EQ(r.bytes, c.out) << c.codePage << " action " << c.action;
    }
}

TEST(CodePages, UnmappedUnitsFollowTheErrorAction) {
    struct Case {
        int codePage;
        int action;
        std::u16string in;
        std::string out;
    };
    const Case cases[] = {
        {932, 0, u"a\uAC00b", "ab"},
        {932, 2, u"a\uAC00b", "a&#xAC00;b"},
        {949, 7, u"a\u3094", std::string("a\x94\x30", 3)},
        {866, 8, u"\u00E9", std::string("\xE9\0\0\0", 4)},
        {51932, 2, u"\u20AC", "&#x20AC;"},
    };
    for (const Case& c : cases) {
        Converted r = encConvert(1200, c.codePage, le(c.in), c.action);
        EXPECT_FALSE(r.ok) << c.codePage << " action " << c.action;
        EXPECT_EQ(r.bytes, c.out) << c.codePage << " action " << c.action;
    }
}

// Bytes the first code page cannot decode reach the second one unchanged
// through the UTF-16 pivot.
TEST(CodePages, RawBytesCrossThePivot) {
    Converted r = encConvert(932, 936, "\x82\xA0\x81 ", 7);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.bytes, "\xA4\xA2\x81 ");
}

// The Arabic-Indic digits (both forms) are the ASCII digits under 1256 and 28596.
TEST(CodePages, ArabicDigitsFold) {
    for (int cp : {1256, 28596}) {
        Converted r = encConvert(1200, cp, le(u"\u0663\u06F5\u0669"));
        EXPECT_TRUE(r.ok) << cp;
        EXPECT_EQ(r.bytes, "359") << cp;
    }
    EXPECT_FALSE(encConvert(1200, 1252, le(u"\u0663")).ok);
}

} // namespace
