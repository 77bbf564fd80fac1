#include "zip/base/StringBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace vexmar;

namespace {

// A buffer holding a secret zeroes the old bytes when they are replaced or
// cleared, in inline storage and on the heap alike.
TEST(StringBuffer, AWipingBufferLeavesNoOldBytesBehind) {
    for (const std::string& secret : {std::string("a secret"), std::string(300, 's')}) {
        SCOPED_TRACE(secret.size());
        StringBuffer b;
        b.setWipe(true);
        b.setString(secret.data(), uint32_t(secret.size()));
        const char* text = b.getString();
        b.setString("pw", 2);
        ASSERT_EQ(b.getString(), text); // the same storage, so its old bytes can be seen
        EXPECT_EQ(std::string(text + 2, secret.size() - 2), std::string(secret.size() - 2, '\0'));
        b.clear();
        EXPECT_EQ(std::string(text, 2), std::string(2, '\0'));
    }
}

TEST(StringBuffer, ShortStringsStayInline) {
    StringBuffer s;
    ASSERT_TRUE(s.appendCharN('a', 81));
    EXPECT_TRUE(s.isInline());
    EXPECT_EQ(s.getSize(), 81u);
    ASSERT_TRUE(s.appendChar('b'));
    EXPECT_FALSE(s.isInline());
    EXPECT_EQ(s.getCapacity(), 285u); // 82 + 202 + 1
    EXPECT_EQ(std::string(s.getString()), std::string(81, 'a') + "b");
}

TEST(StringBuffer, IncrementGrowsWithTheBlock) {
    StringBuffer s;
    ASSERT_TRUE(s.appendCharN('x', 82));
    ASSERT_EQ(s.getCapacity(), 285u);
    // Filling the block and adding one more: length + 1 + increment + 1.
    ASSERT_TRUE(s.appendCharN('x', 284 - 82));
    EXPECT_EQ(s.getCapacity(), 285u);
    ASSERT_TRUE(s.appendChar('x'));
    EXPECT_EQ(s.getCapacity(), 488u); // 284 + 1 + 202 + 1; increment now 244
    ASSERT_TRUE(s.appendCharN('x', 487 - 285));
    ASSERT_TRUE(s.appendChar('x'));
    EXPECT_EQ(s.getCapacity(), 733u); // 487 + 1 + 244 + 1
    EXPECT_EQ(s.getSize(), 488u);
}

TEST(StringBuffer, AppendingItsOwnTextSurvivesTheMove) {
    StringBuffer s;
    ASSERT_TRUE(s.appendCharN('q', 60));
    ASSERT_TRUE(s.append(s.getString())); // 120 characters: moves to the heap
    EXPECT_EQ(std::string(s.getString()), std::string(120, 'q'));
    ASSERT_TRUE(s.append(s));
    EXPECT_EQ(s.getSize(), 240u);
}

TEST(StringBuffer, NumbersInDecimal) {
    StringBuffer s;
    ASSERT_TRUE(s.appendInt64(-9223372036854775807 - 1));
    ASSERT_TRUE(s.appendChar(' '));
    ASSERT_TRUE(s.appendUInt64(18446744073709551615u));
    ASSERT_TRUE(s.appendChar(' '));
    ASSERT_TRUE(s.appendInt64(0));
    EXPECT_STREQ(s.getString(), "-9223372036854775808 18446744073709551615 0");
}

TEST(StringBuffer, TrimRemovesBlanksAtBothEnds) {
    StringBuffer s(" \t\r\n a b \n\t ");
    s.trim();
    EXPECT_STREQ(s.getString(), "a b");
    StringBuffer blank(" \t ");
    blank.trim();
    EXPECT_STREQ(blank.getString(), "");
    EXPECT_EQ(blank.getSize(), 0u);
}

TEST(StringBuffer, ReplaceFirstAndLast) {
    struct Case {
        const char* text;
        bool last;
        const char* find;
        const char* replacement;
        bool replaced;
        const char* result;
    };
    const Case cases[] = {
        {"a.b.c", false, ".", "::", true, "a::b.c"}, {"a.b.c", true, ".", "::", true, "a.b::c"},
        {"abcabc", true, "abc", "", true, "abc"},    {"abc", false, "x", "y", false, "abc"},
        {"aaa", false, "aa", "b", true, "ba"},
    };
    for (const Case& c : cases) {
        StringBuffer s(c.text);
        bool replaced =
            c.last ? s.replaceLast(c.find, c.replacement) : s.replaceFirst(c.find, c.replacement);
        EXPECT_EQ(replaced, c.replaced) << c.text;
        EXPECT_STREQ(s.getString(), c.result) << c.text;
        EXPECT_EQ(s.getSize(), std::strlen(c.result));
    }
}

TEST(StringBuffer, ReplaceGrowsBeyondTheInlineArea) {
    StringBuffer s("x-x");
    ASSERT_TRUE(s.replaceFirst("-", std::string(100, '=').c_str()));
    EXPECT_EQ(std::string(s.getString()), "x" + std::string(100, '=') + "x");
}

TEST(StringBuffer, ReplaceAllCharsAndTests) {
    StringBuffer s("a/b/c");
    EXPECT_EQ(s.replaceAllChars('/', '\\'), 2u);
    EXPECT_STREQ(s.getString(), "a\\b\\c");
    EXPECT_TRUE(s.containsChar('b'));
    EXPECT_FALSE(s.containsChar('/'));
    EXPECT_EQ(s.lastChar(), 'c');
    EXPECT_EQ(StringBuffer().lastChar(), 0);
    EXPECT_TRUE(s.beginsWith("a\\"));
    EXPECT_TRUE(s.endsWith("\\c"));
    EXPECT_FALSE(s.endsWith("a\\b\\c\\"));
    s.shorten(2);
    EXPECT_STREQ(s.getString(), "a\\b");
    s.shorten(99);
    EXPECT_STREQ(s.getString(), "");
}

TEST(StringBuffer, NameFilterDropsUnsafeCharacters) {
    StringBuffer s("a*b<c>d?e|f\"g:h");
    s.removeNameUnsafeChars();
    EXPECT_STREQ(s.getString(), "abcdef\"g:h");
}

TEST(StringBuffer, KeepLastPathComponent) {
    struct Case {
        std::string text;
        std::string result;
    };
    const Case cases[] = {
        {"dir/sub\\file.txt", "file.txt"},
        {"file.txt", "file.txt"},
        {"dir/", ""},
        {"/", ""},
        // Only the first 2048 characters count.
        {std::string(2040, 'a') + "/bcdefghij/k", "bcdefgh"},
    };
    for (const Case& c : cases) {
        StringBuffer s(c.text.c_str());
        ASSERT_TRUE(s.keepLastPathComponent());
        EXPECT_EQ(s.getString(), c.result);
    }
}

TEST(StringBufferDeathTest, UseAfterDestructionStopsTheProcess) {
    alignas(StringBuffer) unsigned char storage[sizeof(StringBuffer)];
    auto* s = new (storage) StringBuffer;
    s->~StringBuffer();
    EXPECT_DEATH(s->clear(), "");
}

} // namespace
