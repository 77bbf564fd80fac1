#include "tests/unit/fs/ScratchDir.h"
#include "zip/base/fs/FileSys.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vexmar;

namespace {

std::string backslashed(std::string path) {
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

TEST(EnsureDir, CreatesMissingParentsInOrder) {
    scratch::Dir dir;
    std::vector<std::string> created;
    Logger log;
    ASSERT_TRUE(FileSys::ensureDir(scratch::X(dir["a/b/c"]), &created, &log))
        << scratch::logText(log);
    const std::vector<std::string> expected = {backslashed(dir["a"]), backslashed(dir["a/b"]),
                                               backslashed(dir["a/b/c"])};
    EXPECT_EQ(created, expected);
    EXPECT_TRUE(std::filesystem::is_directory(scratch::fsPath(dir["a/b/c"])));

    // Once it is all there, nothing more is made.
    created.clear();
    EXPECT_TRUE(FileSys::ensureDir(scratch::X(dir["a/b/c"]), &created, nullptr));
    EXPECT_TRUE(created.empty());

    // One missing level below existing ones is made at once.
    EXPECT_TRUE(FileSys::ensureDir(scratch::X(dir["a/b/d"] + "/"), &created, nullptr));
    EXPECT_EQ(created, std::vector<std::string>{backslashed(dir["a/b/d"] + "/")});
}

TEST(EnsureDir, EmptyPathIsDone) {
    EXPECT_TRUE(FileSys::ensureDir(scratch::X("  "), nullptr, nullptr));
}

TEST(EnsureDir, FailsBelowAFile) {
    scratch::Dir dir;
    scratch::writeAll(dir["file"], "x");
    Logger log;
    EXPECT_FALSE(FileSys::ensureDir(scratch::X(dir["file/sub/deeper"]), nullptr, &log));
    EXPECT_NE(scratch::logText(log).find("Cannot ensure directory existence (2)"),
              std::string::npos)
        << scratch::logText(log);
}

TEST(EnsureFile, CreatesTheDirectoriesOfAFilePath) {
    scratch::Dir dir;
    XString directory;
    std::vector<std::string> created;
    scratch::X filePath(dir["p/q/file.txt"]);
    ASSERT_TRUE(FileSys::ensureFile(&filePath.value, directory, &created, nullptr));
    EXPECT_STREQ(directory.getUtf8(), backslashed(dir["p/q"]).c_str());
    EXPECT_EQ(created.size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(scratch::fsPath(dir["p/q"])));
    EXPECT_FALSE(std::filesystem::exists(scratch::fsPath(dir["p/q/file.txt"])));

    // Nothing to make for a bare name or one right below the root.
    for (const char* bare : {"file.txt", "\\file.txt"}) {
        created.clear();
        scratch::X barePath(bare);
        EXPECT_TRUE(FileSys::ensureFile(&barePath.value, directory, &created, nullptr));
        EXPECT_TRUE(created.empty()) << bare;
    }

    Logger log;
    EXPECT_FALSE(FileSys::ensureFile(nullptr, directory, nullptr, &log));
    EXPECT_NE(scratch::logText(log).find("No filePath"), std::string::npos);
}

TEST(CreateDir, ReportsTheSystemError) {
    scratch::Dir dir;
    EXPECT_TRUE(FileSys::createDirWin32(scratch::X(dir["one"]), nullptr));
    Logger log;
    EXPECT_FALSE(FileSys::createDirWin32(scratch::X(dir["missing/two"]), &log));
    const std::string logged = scratch::logText(log);
    EXPECT_NE(logged.find("createDirWin32"), std::string::npos) << logged;
    EXPECT_NE(logged.find("WindowsError"), std::string::npos) << logged;
}

} // namespace
