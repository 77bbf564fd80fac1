#include "Convert.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

TEST(EncConvert, CodePagesAndMarks) {
    const ConvertCase cases[] = {
        {"same page copies", 437, 437, "\x82\xFF", true, "\x82\xFF"},
        {"page 0 is the other page", 0, 437, "\x82\xFF", true, "\x82\xFF"},
        {"both UTF-16 copies the mark too", 1200, 1200,
         "\xFF\xFE"
         "a",
         true,
         "\xFF\xFE"
         "a"},
        {"FE FF under 1200 is big-endian", 1200, 65001, std::string("\xFE\xFF\x00\x41\x00\xE9", 6),
         true, "A\xC3\xA9"},
        {"FF FE under 1201 is little-endian", 1201, 65001, std::string("\xFF\xFE\x41\x00", 4), true,
         "A"},
        {"1201 without a mark", 1201, 65001, std::string("\x00\x41\x00", 3), true, "A"},
        {"UTF-8 mark dropped", 65001, 1200,
         "\xEF\xBB\xBF"
         "A",
         true, le(u"A")},
        {"only a mark", 65001, 1252, "\xEF\xBB\xBF", true, ""},
        {"only a UTF-16 mark", 1200, 437, "\xFF\xFE", true, ""},
        {"to big-endian", 65001, 1201, "A\xC3\xA9", true, std::string("\x00\x41\x00\xE9", 4)},
        {"437 to UTF-8", 437, 65001, "\x82", true, "\xC3\xA9"},
        {"1252 to UTF-8", 1252, 65001, "\xC9\x80", true, "\xC3\x89\xE2\x82\xAC"},
        {"850 to UTF-16", 850, 1200, "\xD5", true, le(u"\u0131")},
        {"437 to 1252 through UTF-16", 437, 1252, "\x82\x90", true, "\xE9\xC9"},
        {"UTF-8 to 850", 65001, 850, "\xC4\xB1", true, "\xD5"},
        {"table byte 0 is unit 0", 1252, 1200, std::string("\0a", 2), true,
         std::string("\0\0a\0", 4)},
        {"unit 0 is byte 0", 1200, 437, std::string("\0\0", 2), true, std::string("\0", 1)},
        {"unknown target", 1200, 12345, le(u"a"), false, ""},
        {"unknown source", 4242, 65001, "a", false, ""},
    };
    for (const ConvertCase& c : cases)
        expectConverted(c);
}

TEST(EncConvert, UnmappedCharactersFailButOthersConvert) {
    const ConvertCase cases[] = {
        {"1252 byte without a mapping", 1252, 1200,
         "A\x81"
         "B",
         false, le(u"AB")},
        {"unit without a 1252 byte", 1200, 1252, le(u"A\u4E00B"), false, "AB"},
        {"and through the pivot", 65001, 437,
         "A\xE4\xB8\x80"
         "B",
         false, "AB"},
    };
    for (const ConvertCase& c : cases)
        expectConverted(c);
}

TEST(EncConvert, ExistingOutputIsKeptOnFailure) {
    EncodingConvert converter;
    LogNull log;
    DataBuffer out;
    ASSERT_TRUE(out.append("keep", 4));
    EXPECT_FALSE(converter.EncConvert(1200, 99999, "a\0", 2, out, log));
    EXPECT_EQ(bytesOf(out), "keep");
}

TEST(EncConvert, ErrorActions) {
    struct ActionCase {
        const char* what;
        int action;
        int from;
        int to;
        std::string in;
        std::string out;
    };
    const ActionCase cases[] = {
        {"drop", 0, 1200, 1252, le(u"a\u4E00b"), "ab"},
        {"reference for a unit", 2, 1200, 1252, le(u"a\u4E00\u00FF\u0101b"),
         "a&#x4E00;\xFF&#x101;b"},
        {"reference for bytes, as UTF-16", 2, 1252, 1200, "a\x81", le(u"a&#x81;")},
        {"pass the unit's bytes", 7, 1200, 1252, le(u"a\u4E00"), std::string("a\x00\x4E", 3)},
        {"pass the bytes", 7, 1252, 1200, "a\x81", le(u"a") + "\x81"},
        {"byte and zero", 8, 1252, 1200, "a\x8D", le(u"a\u008D")},
        // Raw bytes travel through the UTF-16 pivot behind markers.
        {"pass through the pivot", 7, 65001, 1252,
         "A\xFF"
         "B\xC3\xA9",
         "A\xFF"
         "B\xE9"},
        {"reference through the pivot", 2, 65001, 437,
         "A\xF0\x9F"
         "B",
         "A&#xF0;&#x9F;B"},
        {"pass into UTF-8", 7, 1252, 65001, "x\x81y", "x\x81y"},
    };
    for (const ActionCase& c : cases) {
        Converted r = encConvert(c.from, c.to, c.in, c.action);
        EXPECT_EQ(r.bytes, c.out) << c.what;
    }
}

TEST(EncConvert, SubstitutionBytes) {
    EncodingConvert converter;
    converter.setErrorAction(EncodingConvert::kSubstitute);
    converter.setSubstitution("?", 1);
    LogNull log;
    DataBuffer out;
    std::string in = le(u"a\u4E00b");
    EXPECT_FALSE(converter.EncConvert(1200, 437, in.data(), uint32_t(in.size()), out, log));
    EXPECT_EQ(bytesOf(out), "a?b");

    // Through the pivot, the substitution bytes reach the output unchanged.
    out.clear();
    converter.setSubstitution("<bad>!", 6);
    EXPECT_TRUE(converter.EncConvert(65001, 1252,
                                     "a\xFF"
                                     "b",
                                     3, out, log));
    EXPECT_EQ(bytesOf(out), "a<bad>!b");
}

TEST(EncConvert, AlternateCodePage) {
    EncodingConvert converter;
    converter.setErrorAction(EncodingConvert::kAlternateCodePage);
    converter.setAlternateCodePage(437);
    LogNull log;
    DataBuffer out;
    std::string in = le(u"a\u2591b"); // light shade: in 437, not in 1252
    EXPECT_FALSE(converter.EncConvert(1200, 1252, in.data(), uint32_t(in.size()), out, log));
    EXPECT_EQ(bytesOf(out), "a\xB0"
                            "b");
}

TEST(EncConvert, KnownCodePages) {
    for (int known :
         {1200, 1201, 65000, 65001, 65005, 65006, 50220, 50221, 50222, 50225, 437, 932, 52936})
        EXPECT_TRUE(EncodingConvert::isKnownCodePage(known)) << known;
    for (int unknown : {0, 1, 50223, 65002, 99999})
        EXPECT_FALSE(EncodingConvert::isKnownCodePage(unknown)) << unknown;
}

} // namespace
