#include "tests/support/ZipBuilder.h"
#include "tests/unit/central/OpenedImage.h"
#include "zip/base/fs/DosTime.h"

#include <gtest/gtest.h>

using namespace vexmar;

using testzip::build;
using testzip::Entry;

namespace {

struct NameCase {
    const char* what;
    Entry entry;
    int oemCodePage;
    std::string expected;
};

// "été 日本語 рус.txt"
constexpr const char* kUnixName = "\xC3\xA9t\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E "
                                  "\xD1\x80\xD1\x83\xD1\x81.txt";

TEST(EntryName, DecodesByFlagExtraFieldAndCodePage) {
    Entry unicodePath{.name = "caf\x82.txt"};
    unicodePath.centralExtra = testzip::extraField(0x7075, std::string("\x01") + testzip::le32(0) +
                                                               "r\xC3\xA9sum\xC3\xA9.txt");
    Entry unixWithUnicodePath{.name = "\xC3\xA9", .versionMadeBy = 0x031E};
    unixWithUnicodePath.centralExtra =
        testzip::extraField(0x7075, std::string("\x01") + testzip::le32(0) + "u.txt");
    const NameCase cases[] = {
        {"UTF-8 flag keeps the bytes", Entry{.name = "\xE6\x97\xA5.txt", .flags = 0x0800}, 437,
         "\xE6\x97\xA5.txt"},
        {"437 byte 0x82", Entry{.name = "caf\x82.txt"}, 437, "caf\xC3\xA9.txt"},
        {"a Windows byte under 437 means 1252", Entry{.name = "\xC9t\xC3.txt"}, 437,
         "\xC3\x89t\xC3\x83.txt"},
        {"850 switches to 1252 too", Entry{.name = "\xC9.txt"}, 850, "\xC3\x89.txt"},
        {"backslashes become slashes", Entry{.name = "dir\\file.txt"}, 437, "dir/file.txt"},
        {"Unicode Path field wins", unicodePath, 437, "r\xC3\xA9sum\xC3\xA9.txt"},
        // Info-ZIP's zip on Linux and macOS: UTF-8 without flag bit 11.
        {"Unix host, UTF-8", Entry{.name = kUnixName, .versionMadeBy = 0x031E}, 437, kUnixName},
        {"macOS host, UTF-8", Entry{.name = kUnixName, .versionMadeBy = 0x1314}, 437, kUnixName},
        {"Unix host keeps backslashes of UTF-8 names",
         Entry{.name = "d\\\xC3\xA9", .versionMadeBy = 0x031E}, 437, "d\\\xC3\xA9"},
        {"Unix host, not UTF-8: the code page", Entry{.name = "caf\x82.txt", .versionMadeBy = 0x031E},
         437, "caf\xC3\xA9.txt"},
        {"Unix host, overlong form is not UTF-8",
         Entry{.name = "\xC0\xAF", .versionMadeBy = 0x031E}, 437, "\xC3\x80\xC2\xAF"},
        {"Unix host, cut short is not UTF-8", Entry{.name = "a\xC3", .versionMadeBy = 0x031E}, 437,
         "a\xC3\x83"},
        {"DOS host, same bytes: the code page", Entry{.name = "\xC3\xA9", .versionMadeBy = 0x0014},
         437, "\xC3\x83\xC2\xA9"},
        {"NTFS host, same bytes: the code page", Entry{.name = "\xC3\xA9", .versionMadeBy = 0x0A14},
         437, "\xC3\x83\xC2\xA9"},
        {"Unix host, Unicode Path field still wins", unixWithUnicodePath, 437, "u.txt"},
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
