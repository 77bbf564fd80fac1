#include <gtest/gtest.h>

#include "tests/unit/extract/ExtractFixture.h"

using namespace vexmar;

using testzip::Entry;

namespace {

Entry file(const std::string& name, const std::string& data) {
    return Entry{.name = name, .data = data};
}

Entry deflated(const std::string& name, const std::string& data) {
    Entry e{.name = name, .data = storedDeflate(data), .method = 8};
    e.crc32 = testzip::crc32(data);
    e.uncompressedSize = uint32_t(data.size());
    return e;
}

TEST_F(ExtractTest, WritesFoldersAndFilesWithTheirContents) {
    ASSERT_TRUE(open({Entry{.name = "Installer/"}, file("Installer/setup.exe", "MZ..."),
                      deflated("Installer/docs/readme.txt", "hello, world")}));
    ASSERT_TRUE(extract()) << zip.LastErrorXml();
    EXPECT_TRUE(fs::is_directory(out / "Installer"));
    EXPECT_EQ(read(out / "Installer" / "setup.exe"), "MZ...");
    EXPECT_EQ(read(out / "Installer" / "docs" / "readme.txt"), "hello, world");
    EXPECT_TRUE(logHas("<numUnzipped>2</numUnzipped>"));
}

TEST_F(ExtractTest, RaisesNotificationsInTheirOrder) {
    ASSERT_TRUE(open({Entry{.name = "d/"}, file("d/a.txt", "aaaa"), file("b.txt", "bbbb")}));
    RecordingProgress progress;
    zip.SetEventCallback(&progress);
    ASSERT_TRUE(extract()) << zip.LastErrorXml();
    const std::vector<std::string> expected = {
        "unzipBegin",
        "progressInfo unzipBegin unzipBegin",
        "toBeUnzipped d/ 0 dir",
        "toBeUnzipped d/a.txt 4",
        "toBeUnzipped b.txt 4",
        "fileUnzipped d/",
        "progressInfo fileUnzipped d/",
        "percentDone 50",
        "fileUnzipped d/a.txt",
        "progressInfo fileUnzipped d/a.txt",
        "percentDone 100",
        "fileUnzipped b.txt",
        "progressInfo fileUnzipped b.txt",
        "unzipEnd",
        "progressInfo unzipEnd unzipEnd",
    };
    EXPECT_EQ(progress.events, expected);
}

TEST_F(ExtractTest, OnlyFoldersMeansNoPercentCalls) {
    ASSERT_TRUE(open({Entry{.name = "a/"}, Entry{.name = "a/b/"}}));
    RecordingProgress progress;
    zip.SetEventCallback(&progress);
    ASSERT_TRUE(extract());
    EXPECT_EQ(progress.percentCalls, 0);
    EXPECT_TRUE(fs::is_directory(out / "a" / "b"));
}

TEST_F(ExtractTest, AbortFromPercentDoneDeletesTheFileAndStops) {
    const std::string big(100000, 'x');
    ASSERT_TRUE(open({file("first.bin", big), file("second.bin", big)}));
    RecordingProgress progress;
    progress.abortAtPercentCall = 0;
    zip.SetEventCallback(&progress);
    EXPECT_FALSE(extract());
    EXPECT_FALSE(fs::exists(out / "first.bin"));
    EXPECT_FALSE(fs::exists(out / "second.bin"));
    EXPECT_TRUE(logHas("Not all files extracted successfully."));
    EXPECT_TRUE(logHas("Output aborted by application callback."));
}

struct BadEntry {
    const char* what;
    Entry entry;
    const char* message;
};

TEST_F(ExtractTest, CorruptEntriesFailAloneAndLeaveNoPartialFile) {
    Entry wrongCrc = file("wrong-crc.txt", "payload");
    wrongCrc.crc32 = 0x12345678;
    Entry tooLong = file("too-long.txt", "0123456789");
    tooLong.uncompressedSize = 4;
    Entry tooShort = file("too-short.txt", "abc");
    tooShort.uncompressedSize = 10;
    tooShort.crc32 = testzip::crc32("abc");
    Entry truncated = deflated("truncated.txt", "0123456789");
    truncated.data[0] = 0; // not the final block: the stream ends early
    Entry reduced = file("reduced.txt", "xx");
    reduced.method = 5; // "reduced", which nothing decodes any more
    const BadEntry cases[] = {
        {"stored CRC-32 differs", wrongCrc, "storedCrc32"},
        {"more bytes than declared", tooLong, "decodes to more bytes than its size"},
        {"fewer bytes than declared", tooShort, "decodes to fewer bytes than its size"},
        {"deflate ends before its final block", truncated, "Inflate from source failed."},
        {"unsupported method", reduced, "<_cMethod>5</_cMethod>"},
    };
    for (const BadEntry& c : cases) {
        ASSERT_TRUE(open({file("good.txt", "fine"), c.entry})) << c.what;
        EXPECT_FALSE(extract()) << c.what;
        EXPECT_TRUE(logHas(c.message)) << c.what << "\n" << zip.LastErrorXml();
        EXPECT_TRUE(logHas("Unzip failed")) << c.what;
        EXPECT_FALSE(fs::exists(out / c.entry.name)) << c.what;
        EXPECT_EQ(read(out / "good.txt"), "fine") << c.what;
        EXPECT_FALSE(zip.Test()) << c.what;
        fs::remove_all(out);
    }
}

TEST_F(ExtractTest, NamesThatClimbOutOfTheFolderAreRefused) {
    ASSERT_TRUE(open(
        {file("../evil.txt", "x"), file("a/../../evil2.txt", "x"), file("a/../inside.txt", "ok")}));
    EXPECT_FALSE(extract());
    EXPECT_TRUE(logHas("outside the extraction directory"));
    EXPECT_FALSE(fs::exists(base / "evil.txt"));
    EXPECT_FALSE(fs::exists(base / "evil2.txt"));
    EXPECT_EQ(read(out / "inside.txt"), "ok");
}

TEST_F(ExtractTest, NamesAreCleanedAndKeptBelowTheFolder) {
    ASSERT_TRUE(open({file("what?.txt", "q"), file("C:\\abs.txt", "c"), file("\\root.txt", "r"),
                      file("dir\\back.txt", "b")}));
    ASSERT_TRUE(extract()) << zip.LastErrorXml();
    EXPECT_EQ(read(out / "what.txt"), "q");
    EXPECT_EQ(read(out / "abs.txt"), "c");
    EXPECT_EQ(read(out / "root.txt"), "r");
    EXPECT_EQ(read(out / "dir" / "back.txt"), "b");
}

TEST_F(ExtractTest, BlockedFolderIsReportedOnceAndThumbsDbIsForgiven) {
    fs::create_directories(out);
    std::ofstream(out / "blocked") << "a file where a folder should go";
    fs::create_directories(out / "Thumbs.db");
    ASSERT_TRUE(open({file("blocked/sub/a.txt", "a"), file("blocked/sub/b.txt", "b"),
                      file("Thumbs.db", "thumbnails")}));
    EXPECT_FALSE(extract());
    const std::string log = zip.LastErrorXml();
    size_t first = log.find("<UnzipFailedDir>");
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find("<UnzipFailedDir>", first + 1), std::string::npos) << log;
    EXPECT_EQ(log.find("UnzipFailedFilename"), std::string::npos) << log;
    EXPECT_TRUE(logHas("<numUnzipped>0</numUnzipped>"));
}

TEST_F(ExtractTest, TestDecodesWithoutWriting) {
    ASSERT_TRUE(open({file("a.txt", "aaa"), deflated("b.txt", "bbb")}));
    EXPECT_TRUE(zip.Test()) << zip.LastErrorXml();
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(ExtractTest, ArchiveFilesAreOpenedTestedAndExtracted) {
    const auto pathOf = [&](const char* name) {
        const std::u8string text = (base / name).u8string();
        return os::fromUtf8(reinterpret_cast<const char*>(text.c_str()), text.size());
    };
    const auto write = [&](const char* name, const std::string& bytes) {
        std::ofstream(base / name, std::ios::binary) << bytes;
        return pathOf(name);
    };
    const auto first = write("first.zip", testzip::build({deflated("a.txt", "from the file")}));
    const auto second = write("second.zip", testzip::build({file("b.txt", "second")}));
    const auto empty = write("empty.zip", "");

    ASSERT_TRUE(zip.OpenFromFile(first.c_str())) << zip.LastErrorXml();
    EXPECT_TRUE(zip.Test()) << zip.LastErrorXml();
    ASSERT_TRUE(extract()) << zip.LastErrorXml();
    EXPECT_EQ(read(out / "a.txt"), "from the file");

    // Opening another file replaces the first one's entries.
    ASSERT_TRUE(zip.OpenFromFile(second.c_str())) << zip.LastErrorXml();
    ASSERT_EQ(zip.NumEntries(), 1u);
    ASSERT_TRUE(extract()) << zip.LastErrorXml();
    EXPECT_EQ(read(out / "b.txt"), "second");

    EXPECT_FALSE(zip.OpenFromFile(empty.c_str()));
    EXPECT_TRUE(logHas("The archive file is empty.")) << zip.LastErrorXml();
    EXPECT_FALSE(zip.OpenFromFile(pathOf("not-there.zip").c_str()));
    zip.CloseZip();
    EXPECT_EQ(zip.NumEntries(), 0u);
}

TEST_F(ExtractTest, ClosedArchiveExtractsNothingAndSucceeds) {
    zip.CloseZip();
    EXPECT_TRUE(extract());
    ASSERT_TRUE(open({file("a.txt", "a")}));
    zip.CloseZip();
    EXPECT_EQ(zip.NumEntries(), 0u);
}

} // namespace
