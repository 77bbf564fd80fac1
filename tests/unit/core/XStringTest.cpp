#include "zip/base/XString.h"
#include "codecs/lzma/LzmaUnpack.h"
#include "zip/base/text/PackedTables.h"

#include <gtest/gtest.h>

#include <string>

using namespace vexmar;

namespace {

// The ANSI code page is a table page on Windows (1252 under Wine), and the tables
// are built in packed: programs register their unpacker, as the archive layer does.
const bool registered = (setCodePageUnpacker(lzmaUnpack), true);

std::u16string wide(const XString& s) {
    return s.getWide();
}

TEST(XString, NewStringIsEmptyInEveryForm) {
    XString s;
    EXPECT_TRUE(s.isEmpty());
    EXPECT_STREQ(s.getUtf8(), "");
    EXPECT_STREQ(s.getAnsi(), "");
    EXPECT_EQ(wide(s), u"");
    EXPECT_EQ(s.getNumChars(), 0u);
}

TEST(XString, Utf8ByteOrderMarkIsDropped) {
    XString s;
    ASSERT_TRUE(s.setFromUtf8("\xEF\xBB\xBF"
                              "abc"));
    EXPECT_STREQ(s.getUtf8(), "abc");
    EXPECT_EQ(wide(s), u"abc");
    ASSERT_TRUE(s.setFromUtf8("\xEF\xBB\xBF"));
    EXPECT_TRUE(s.isEmpty());
}

TEST(XString, FormsConvertFromTheCurrentOne) {
    XString s;
    ASSERT_TRUE(s.setFromUtf8("Gr\xC3\xBC\xC3\x9F"
                              "e \xE2\x82\xAC"));
    EXPECT_EQ(wide(s), u"Gr\u00FC\u00DFe \u20AC");
    ASSERT_TRUE(s.setFromWide(u"\u00E9t\u00E9"));
    EXPECT_STREQ(s.getUtf8(), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(s.getSizeUtf8(), 5u);
    EXPECT_EQ(s.getNumChars(), 3u); // UTF-16 units: no ANSI form yet
}

TEST(XString, AnsiFormIsTheProcessCodePage) {
    // This test runs where the ANSI code page is UTF-8 (POSIX) or 1252 (Wine).
    ASSERT_TRUE(registered);
    XString s;
    ASSERT_TRUE(s.setFromWide(u"caf\u00E9"));
    std::string ansi = s.getAnsi();
    EXPECT_TRUE(ansi == "caf\xC3\xA9" || ansi == "caf\xE9") << ansi;
    EXPECT_EQ(s.getNumChars(), ansi.size());
    XString back;
    ASSERT_TRUE(back.setFromAnsi(ansi.c_str()));
    EXPECT_EQ(wide(back), u"caf\u00E9");
}

TEST(XString, WcharTextMayLeaveTheBasicPlane) {
    XString s;
    ASSERT_TRUE(s.setFromWchar(L"a\U0001F600b"));
    EXPECT_EQ(wide(s), u"a\U0001F600b");
}

TEST(XString, AppendKeepsEarlierText) {
    XString s;
    ASSERT_TRUE(s.setFromWide(u"\u00C4"));
    ASSERT_TRUE(s.appendUtf8("-b"));
    ASSERT_TRUE(s.appendWide(u"\u00D6"));
    ASSERT_TRUE(s.appendWide(u"!"));
    EXPECT_STREQ(s.getUtf8(), "\xC3\x84-b\xC3\x96!");
    ASSERT_TRUE(s.appendX(s));
    EXPECT_EQ(wide(s), u"\u00C4-b\u00D6!\u00C4-b\u00D6!");
}

TEST(XString, EditsAndSearches) {
    XString s;
    ASSERT_TRUE(s.setFromUtf8("  \xC3\xA9t\xC3\xA9/dir\\file.txt \r\n"));
    ASSERT_TRUE(s.trim());
    EXPECT_STREQ(s.getUtf8(), "\xC3\xA9t\xC3\xA9/dir\\file.txt");
    ASSERT_TRUE(s.replaceAllChars(u'\\', u'/'));
    EXPECT_STREQ(s.getUtf8(), "\xC3\xA9t\xC3\xA9/dir/file.txt");
    EXPECT_EQ(s.indexOfUtf8("/dir"), 3); // in UTF-16 units, not bytes
    EXPECT_EQ(s.indexOfUtf8("nope"), -1);
    EXPECT_TRUE(s.beginsWithUtf8("\xC3\xA9t"));
    EXPECT_TRUE(s.endsWithUtf8(".txt"));
    EXPECT_FALSE(s.endsWithUtf8(".TXT"));
    EXPECT_TRUE(s.containsUtf8("dir/"));
    ASSERT_TRUE(s.replaceFirst("dir", "folder"));
    ASSERT_TRUE(s.removeChar(u'/'));
    EXPECT_STREQ(s.getUtf8(), "\xC3\xA9t\xC3\xA9"
                              "folderfile.txt");
    ASSERT_TRUE(s.replaceAllChars(u'\u00E9', u'e'));
    ASSERT_TRUE(s.removeChar(u'\u00E9'));
    EXPECT_STREQ(s.getUtf8(), "etefolderfile.txt");
}

TEST(XString, WideEditsWorkOnTheWideForm) {
    XString s;
    ASSERT_TRUE(s.setFromWide(u" \u4E2D\u6587\u4E2D "));
    ASSERT_TRUE(s.trim());
    ASSERT_TRUE(s.removeChar(u'\u4E2D'));
    EXPECT_EQ(wide(s), u"\u6587");
    EXPECT_EQ(s.getNumChars(), 1u);
}

TEST(XString, ClearMakesItNewAgain) {
    XString s;
    ASSERT_TRUE(s.setFromWide(u"abc"));
    s.clear();
    EXPECT_TRUE(s.isEmpty());
    EXPECT_EQ(wide(s), u"");
    EXPECT_STREQ(s.getUtf8(), "");
}

} // namespace
