#include "tests/support/ZipBuilder.h"
#include "tests/unit/central/OpenedImage.h"
#include "zip/central/DosTime.h"

#include <gtest/gtest.h>

using testzip::build;
using testzip::Entry;

namespace {

struct NameCase {
    const char* what;
    Entry entry;
    int oemCodePage;
    std::string expected;
};

TEST(EntryName, DecodesByFlagExtraFieldAndCodePage) {
    Entry unicodePath{.name = "caf\x82.txt"};
    unicodePath.centralExtra = testzip::extraField(0x7075, std::string("\x01") + testzip::le32(0) +
                                                               "r\xC3\xA9sum\xC3\xA9.txt");
    const NameCase cases[] = {
        {"UTF-8 flag keeps the bytes", Entry{.name = "\xE6\x97\xA5.txt", .flags = 0x0800}, 437,
         "\xE6\x97\xA5.txt"},
        {"437 byte 0x82", Entry{.name = "caf\x82.txt"}, 437, "caf\xC3\xA9.txt"},
        {"a Windows byte under 437 means 1252", Entry{.name = "\xC9t\xC3.txt"}, 437,
         "\xC3\x89t\xC3\x83.txt"},
        {"850 switches to 1252 too", Entry{.name = "\xC9.txt"}, 850, "\xC3\x89.txt"},
        {"backslashes become slashes", Entry{.name = "dir\\file.txt"}, 437, "dir/file.txt"},
        {"Unicode Path field wins", unicodePath, 437, "r\xC3\xA9sum\xC3\xA9.txt"},
    };
    for (const NameCase& c : cases) {
        OpenedImage opened(build({c.entry}), c.oemCodePage);
        ASSERT_TRUE(opened.ok) << c.what;
        EXPECT_EQ(opened.name(0), c.expected) << c.what;
    }
}

TEST(EntryName, HexFormIsTheRawBytes) {
    OpenedImage opened(build({Entry{.name = "a\x82"}}));
    StringBuffer hex;
    opened.entry(0).getFileNameHex(hex);
    EXPECT_STREQ(hex.getString(), "6182");
}

TEST(EntryDirectory, ByAttributeOrTrailingSlashWithNoSize) {
    struct Case {
        Entry entry;
        bool directory;
    } cases[] = {
        {Entry{.name = "a/b/"}, true},
        {Entry{.name = "a/b/", .data = "x"}, false},
        {Entry{.name = "a/b", .externalAttributes = 0x10}, true},
        {Entry{.name = "a/b"}, false},
    };
    for (const Case& c : cases) {
        OpenedImage opened(build({c.entry}));
        ASSERT_TRUE(opened.ok);
        EXPECT_EQ(opened.entry(0).isDirectory(), c.directory) << c.entry.name;
    }
}

TEST(EncryptionVerdict, FollowsTheFirstEntryThatIsNotADirectory) {
    Entry dir{.name = "d/"};
    Entry plain{.name = "p.txt", .data = "x"};
    Entry traditional{.name = "t.txt", .data = "x", .flags = 0x0001};
    Entry strong{.name = "s.txt", .data = "x", .flags = 0x0041};
    Entry aes{.name = "a.txt", .data = "x", .method = 99, .flags = 0x0001};
    aes.centralExtra =
        testzip::extraField(0x9901, testzip::le16(2) + "AE" + "\x03" + testzip::le16(8));
    struct Case {
        std::vector<Entry> entries;
        int verdict;
    } cases[] = {
        {{dir, traditional}, 5},
        {{dir, aes, traditional}, 4},
        {{plain, aes}, 0},
        {{strong}, 0},
        {{dir}, 0},
    };
    for (const Case& c : cases) {
        OpenedImage opened(build(c.entries));
        ASSERT_TRUE(opened.ok);
        EXPECT_EQ(opened.zip->encryption(), c.verdict) << c.entries.size();
    }

    OpenedImage opened(build({aes}));
    EXPECT_TRUE(opened.entry(0).isWinZipAes());
    EXPECT_EQ(opened.entry(0).getCompressionMethod(), 8);
    EXPECT_EQ(opened.entry(0).info()->keyLength, 256);
    EXPECT_NE(opened.logXml().find("<encryption>4</encryption>"), std::string::npos);
}

TEST(DosTime, DecodesFieldsAndRepairsOutOfRangeParts) {
    struct Case {
        uint16_t date, time;
        int year, month, day, hour, minute, second;
    } cases[] = {
        {0x5A21, 0x6000, 2025, 1, 1, 12, 0, 0},
        {(45 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29, 2025, 12, 31, 23, 59, 58},
        {(1 << 9) | (2 << 5) | 3, (24 << 11) | (60 << 5) | 30, 1981, 2, 3, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const os::CalendarTime t = decodeDosDateTime(c.date, c.time);
        EXPECT_EQ(t.year, c.year);
        EXPECT_EQ(t.month, c.month);
        EXPECT_EQ(t.day, c.day);
        EXPECT_EQ(t.hour, c.hour);
        EXPECT_EQ(t.minute, c.minute);
        EXPECT_EQ(t.second, c.second);
    }
}

TEST(DosTime, ImpossibleDateMeansNow) {
    const os::CalendarTime now = os::currentUtcTime();
    for (uint16_t date :
         {uint16_t(0x5A20), uint16_t((45 << 9) | (13 << 5) | 1), uint16_t((45 << 9) | 1)}) {
        const os::CalendarTime t = decodeDosDateTime(date, 0);
        EXPECT_GE(t.year, now.year) << date;
    }
}

} // namespace
