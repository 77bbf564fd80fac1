#include "tests/unit/fs/ScratchDir.h"
#include "zip/base/fs/FileSys.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace vexmar;

namespace {

using scratch::X;

std::string readThrough(VexmarHandle& file) {
    std::string bytes;
    char buffer[7];
    for (;;) {
        uint32_t count = 0;
        bool atEnd = false;
        EXPECT_TRUE(file.read(buffer, sizeof buffer, count, atEnd, nullptr));
        bytes.append(buffer, count);
        if (atEnd)
            return bytes;
    }
}

bool isReadOnly(const std::string& path) {
    uint32_t attributes = 0;
    uint32_t error = 0;
    EXPECT_TRUE(FileSys::GetAttributes(X(path), attributes, error, nullptr));
    return (attributes & os::kAttrReadOnly) != 0;
}

TEST(FileOpen, WriteReplacesAndReadReadsBack) {
    scratch::Dir dir;
    const std::string path = dir["f.bin"];
    scratch::writeAll(path, "old contents that are longer");
    {
        int kind = -1;
        VexmarHandle file = FileSys::openForWriteWin32(X(path), &kind, nullptr);
        ASSERT_TRUE(file.isOpen());
        EXPECT_EQ(kind, FileSys::kOpenOk);
        uint64_t written = 0;
        ASSERT_TRUE(file.write("new", 3, written, nullptr));
        EXPECT_EQ(written, 3u);
    }
    VexmarHandle file = FileSys::openForReadWin32(X(path), nullptr, nullptr);
    ASSERT_TRUE(file.isOpen());
    EXPECT_EQ(readThrough(file), "new");
}

TEST(FileOpen, ReadWriteKeepsTheFileAndAppendGoesToTheEnd) {
    scratch::Dir dir;
    const std::string path = dir["f.txt"];
    scratch::writeAll(path, "abcdef");
    {
        VexmarHandle file = FileSys::openForReadWriteWin32(X(path), true, nullptr, nullptr);
        ASSERT_TRUE(file.isOpen());
        ASSERT_TRUE(file.seekAbsolute(2, nullptr));
        uint64_t written = 0;
        ASSERT_TRUE(file.write("XY", 2, written, nullptr));
        int64_t position = 0;
        ASSERT_TRUE(file.position(position, nullptr));
        EXPECT_EQ(position, 4);
        ASSERT_TRUE(file.seekRelative(-3, nullptr));
        ASSERT_TRUE(file.position(position, nullptr));
        EXPECT_EQ(position, 1);
        int64_t size64 = 0;
        uint32_t size32 = 0;
        ASSERT_TRUE(file.size64(size64, nullptr));
        ASSERT_TRUE(file.size32(size32, nullptr));
        EXPECT_EQ(size64, 6);
        EXPECT_EQ(size32, 6u);
    }
    {
        VexmarHandle file =
            FileSys::openFileWin32(X(path), true, true, false, false, true, nullptr, nullptr);
        ASSERT_TRUE(file.isOpen());
        uint64_t written = 0;
        ASSERT_TRUE(file.write("!", 1, written, nullptr));
    }
    EXPECT_EQ(scratch::readAll(path), "abXYef!");
}

TEST(FileOpen, MissingFileFailsWithItsReasons) {
    scratch::Dir dir;
    int kind = 0;
    Logger log;
    VexmarHandle file = FileSys::openForReadWin32(X(dir["missing.txt"]), &kind, &log);
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(kind, FileSys::kOpenOtherError);
    const std::string logged = scratch::logText(log);
    EXPECT_NE(logged.find("Failed to open file (2)"), std::string::npos) << logged;
    EXPECT_NE(logged.find("osErrorInfo"), std::string::npos) << logged;
    EXPECT_NE(logged.find("localWindowsFilePath"), std::string::npos) << logged;

    Logger empty;
    EXPECT_FALSE(FileSys::openForReadWin32(X(""), nullptr, &empty).isOpen());
    EXPECT_NE(scratch::logText(empty).find("openFileWin32: file path is empty."),
              std::string::npos);
}

TEST(FileOpen, WritingClearsAReadOnlyAttribute) {
    scratch::Dir dir;
    const std::string path = dir["locked.txt"];
    scratch::writeAll(path, "before");
    ASSERT_TRUE(FileSys::setFileAttributesWin32(X(path), os::kAttrReadOnly));
    ASSERT_TRUE(isReadOnly(path));
    {
        VexmarHandle file = FileSys::openForWriteWin32(X(path), nullptr, nullptr);
        ASSERT_TRUE(file.isOpen());
        uint64_t written = 0;
        ASSERT_TRUE(file.write("after", 5, written, nullptr));
    }
    // Whether the attribute had to be cleared depends on the system: a
    // privileged POSIX process (Wine included) may write to the file anyway.
    EXPECT_EQ(scratch::readAll(path), "after");
}

// Clearing the attribute through a link would unlock whatever the link points at.
TEST(FileOpen, ReadOnlyIsNeverClearedThroughALink) {
    scratch::Dir dir;
    const std::string victim = dir["victim.txt"];
    const std::string link = dir["link.txt"];
    scratch::writeAll(victim, "precious");
    ASSERT_TRUE(FileSys::setFileAttributesWin32(X(victim), os::kAttrReadOnly));
    std::error_code error;
    std::filesystem::create_symlink(victim, link, error);
    if (error)
        GTEST_SKIP() << "symbolic links cannot be made here";
    FileSys::openForWriteWin32(X(link), nullptr, nullptr);
    EXPECT_TRUE(isReadOnly(victim));
}

TEST(FileOpen, ReservedDeviceNamesAreWrittenAsFiles) {
    scratch::Dir dir;
    VexmarHandle file = FileSys::openForWriteWin32(X(dir["nul.txt"]), nullptr, nullptr);
    ASSERT_TRUE(file.isOpen());
    file.close();
    EXPECT_TRUE(std::filesystem::exists(scratch::fsPath(dir["_nul.txt"])));
}

// Long and non-ASCII names take the \\?\ form on Windows; everything must work
// the same through it.
TEST(FileOpen, LongAndNonAsciiPaths) {
    scratch::Dir dir;
    std::string deep = "\xE6\x97\xA5\xE6\x9C\xAC-\xC3\xBC";
    for (int i = 0; i < 12; ++i)
        deep += "/level-" + std::to_string(i) + "-abcdefghijklmnopqrstuvwxyz";
    const std::string path = dir[deep + "/\xE2\x82\xAC file.txt"];
    ASSERT_GT(path.size(), 300u);
    XString directory;
    X filePath(path);
    ASSERT_TRUE(FileSys::ensureFile(&filePath.value, directory, nullptr, nullptr));
    ASSERT_TRUE(FileSys::writeWholeFile(X(path), "payload", 7, nullptr));
    EXPECT_TRUE(FileSys::fileExists(X(path), nullptr));
    {
        VexmarHandle file = FileSys::openForReadWin32(X(path), nullptr, nullptr);
        ASSERT_TRUE(file.isOpen());
        EXPECT_EQ(readThrough(file), "payload");
    }
    const std::string moved = dir[deep + "/moved.txt"];
    ASSERT_TRUE(FileSys::renameFileWin32(X(path), X(moved), nullptr));
    EXPECT_FALSE(FileSys::fileExists(X(path), nullptr));
    EXPECT_TRUE(FileSys::deleteFile(X(moved), nullptr));
    EXPECT_FALSE(FileSys::fileExists(X(moved), nullptr));
}

TEST(FileExists, TellsFilesDirectoriesAndMissingPaths) {
    scratch::Dir dir;
    scratch::writeAll(dir["here.txt"], "x");
    EXPECT_TRUE(FileSys::fileExists(X(dir["here.txt"]), nullptr));
    EXPECT_TRUE(FileSys::fileExists(X(dir.path()), nullptr));
    EXPECT_FALSE(FileSys::fileExists(X(""), nullptr));
    Logger log;
    EXPECT_FALSE(FileSys::fileExists(X(dir["none/deeper.txt"]), &log));
    EXPECT_NE(scratch::logText(log).find("WindowsError"), std::string::npos);
}

TEST(Attributes, DirectoryAndReadOnlyBits) {
    scratch::Dir dir;
    uint32_t attributes = 0;
    uint32_t error = 0;
    ASSERT_TRUE(FileSys::GetAttributes(X(dir.path()), attributes, error, nullptr));
    EXPECT_TRUE(attributes & os::kAttrDirectory);

    const std::string path = dir["ro.txt"];
    scratch::writeAll(path, "x");
    ASSERT_TRUE(FileSys::GetAttributes(X(path), attributes, error, nullptr));
    EXPECT_FALSE(attributes & (os::kAttrDirectory | os::kAttrReadOnly));
    ASSERT_TRUE(FileSys::setFileAttributesWin32(X(path), os::kAttrReadOnly));
    EXPECT_TRUE(isReadOnly(path));
    ASSERT_TRUE(FileSys::setFileAttributesWin32(X(path), os::kAttrNormal));
    EXPECT_FALSE(isReadOnly(path));

    Logger log;
    EXPECT_FALSE(FileSys::GetAttributes(X(""), attributes, error, &log));
    EXPECT_EQ(attributes, 0xFFFFFFFFu);
    EXPECT_NE(scratch::logText(log).find("GetAttributes: filename is empty"), std::string::npos);
    EXPECT_FALSE(FileSys::GetAttributes(X(dir["gone"]), attributes, error, nullptr));
    EXPECT_EQ(attributes, 0xFFFFFFFFu);
    EXPECT_NE(error, 0u);
}

TEST(DeleteFile, MissingFilesCountAsDeletedAndReadOnlyOnesGo) {
    scratch::Dir dir;
    EXPECT_TRUE(FileSys::deleteFile(X(dir["never-there.txt"]), nullptr));

    const std::string path = dir["ro.txt"];
    scratch::writeAll(path, "x");
    ASSERT_TRUE(FileSys::setFileAttributesWin32(X(path), os::kAttrReadOnly));
    EXPECT_TRUE(FileSys::deleteFile(X(path), nullptr));
    EXPECT_FALSE(std::filesystem::exists(scratch::fsPath(path)));
}

TEST(RenameFile, DoesNotReplaceAnExistingTarget) {
    scratch::Dir dir;
    scratch::writeAll(dir["a"], "a");
    scratch::writeAll(dir["b"], "b");
    Logger log;
    EXPECT_FALSE(FileSys::renameFileWin32(X(dir["a"]), X(dir["b"]), &log));
    EXPECT_NE(scratch::logText(log).find("WindowsError"), std::string::npos);
    EXPECT_EQ(scratch::readAll(dir["b"]), "b");
    EXPECT_TRUE(FileSys::renameFileWin32(X(dir["a"]), X(dir["c"]), nullptr));
    EXPECT_EQ(scratch::readAll(dir["c"]), "a");
}

TEST(WriteWholeFile, ReplacesTheFileAndReportsFailure) {
    scratch::Dir dir;
    const std::string path = dir["whole.bin"];
    scratch::writeAll(path, "a much longer previous content");
    ASSERT_TRUE(FileSys::writeWholeFile(X(path), "\0\1\2", 3, nullptr));
    EXPECT_EQ(scratch::readAll(path), std::string("\0\1\2", 3));
    ASSERT_TRUE(FileSys::writeWholeFile(X(path), nullptr, 0, nullptr));
    EXPECT_EQ(scratch::readAll(path), "");

    Logger log;
    EXPECT_FALSE(FileSys::writeWholeFile(X(dir["no/such/dir.bin"]), "x", 1, &log));
    EXPECT_NE(scratch::logText(log).find("Failed to write complete file (7)"), std::string::npos);
}

TEST(VexmarHandle, ClosedHandleRefusesWork) {
    VexmarHandle closed;
    Logger log;
    uint64_t written = 1;
    EXPECT_FALSE(closed.write("x", 1, written, &log));
    EXPECT_EQ(written, 0u);
    uint32_t count = 0;
    bool atEnd = false;
    char buffer[4];
    EXPECT_FALSE(closed.read(buffer, sizeof buffer, count, atEnd, &log));
    EXPECT_FALSE(closed.read(nullptr, 4, count, atEnd, &log));
    EXPECT_FALSE(closed.setTimes(os::currentFileTime(), &log));
    const std::string logged = scratch::logText(log);
    for (const char* message :
         {"Failed to write because file is not open.", "No file is open.", "NULL buf or bufSize",
          "Cannot set file time because file is not open."})
        EXPECT_NE(logged.find(message), std::string::npos) << message;
}

TEST(VexmarHandle, MovingTransfersTheOpenFile) {
    scratch::Dir dir;
    VexmarHandle first = FileSys::openForWriteWin32(X(dir["m.txt"]), nullptr, nullptr);
    ASSERT_TRUE(first.isOpen());
    VexmarHandle second(std::move(first));
    EXPECT_FALSE(first.isOpen());
    ASSERT_TRUE(second.isOpen());
    VexmarHandle third;
    third = std::move(second);
    EXPECT_FALSE(second.isOpen());
    uint64_t written = 0;
    EXPECT_TRUE(third.write("ok", 2, written, nullptr));
    third.close();
    EXPECT_EQ(scratch::readAll(dir["m.txt"]), "ok");
}

} // namespace
