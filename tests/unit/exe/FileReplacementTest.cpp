// Writing a new version of a file beside it and moving it into place: the old
// file stays as it was until the move, and nothing is left behind on failure.
#include "tests/unit/fs/ScratchDir.h"
#include "zip/facade/FileReplacement.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;

size_t filesIn(const scratch::Dir& dir) {
    return size_t(std::distance(fs::directory_iterator(scratch::fsPath(dir.path())),
                                fs::directory_iterator()));
}

bool writeNew(FileReplacement& replacement, const std::string& text) {
    uint64_t written = 0;
    return replacement.file().write(text.data(), text.size(), written, nullptr);
}

TEST(FileReplacement, TheNewFileTakesTheOldOnesPlace) {
    scratch::Dir dir;
    const std::string target = dir["target.exe"];
    scratch::writeAll(target, "old");
    Logger log;
    FileReplacement replacement;
    ASSERT_TRUE(replacement.begin(scratch::X(target), log)) << scratch::logText(log);
    EXPECT_EQ(fs::path(scratch::fsPath(replacement.newPath().getUtf8())).parent_path(),
              fs::canonical(scratch::fsPath(dir.path())));
    ASSERT_TRUE(writeNew(replacement, "new"));
    EXPECT_EQ(scratch::readAll(target), "old");
    ASSERT_TRUE(replacement.commit(log)) << scratch::logText(log);
    EXPECT_EQ(scratch::readAll(target), "new");
    EXPECT_EQ(filesIn(dir), 1u);
}

TEST(FileReplacement, AFailedMoveKeepsTheOriginal) {
    scratch::Dir dir;
    const std::string target = dir["target.exe"];
    scratch::writeAll(target, "original");
    Logger log;
    {
        FileReplacement replacement;
        ASSERT_TRUE(replacement.begin(scratch::X(target), log));
        ASSERT_TRUE(writeNew(replacement, "replacement"));
#ifdef _WIN32
        // Another program holds the old file and lets nobody delete or rename it.
        const HANDLE holder =
            CreateFileW(scratch::fsPath(target).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                        OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(replacement.commit(log));
        CloseHandle(holder);
#else
        // A folder with something in it stands in the new file's place: the
        // rights can be given, but a folder cannot take a file's name.
        const fs::path planted = scratch::fsPath(replacement.newPath().getUtf8());
        fs::remove(planted);
        fs::create_directory(planted);
        scratch::writeAll(scratch::utf8(planted / "inside"), "x");
        EXPECT_FALSE(replacement.commit(log));
        fs::remove_all(planted);
#endif
        EXPECT_NE(scratch::logText(log).find("Failed to move the new file into the old one's place"),
                  std::string::npos)
            << scratch::logText(log);
    }
    EXPECT_EQ(scratch::readAll(target), "original");
    EXPECT_EQ(filesIn(dir), 1u);
}

TEST(FileReplacement, AnAbandonedReplacementLeavesNothingBehind) {
    scratch::Dir dir;
    const std::string target = dir["target.exe"];
    scratch::writeAll(target, "original");
    Logger log;
    {
        FileReplacement replacement;
        ASSERT_TRUE(replacement.begin(scratch::X(target), log));
        ASSERT_TRUE(writeNew(replacement, "half"));
    }
    EXPECT_EQ(scratch::readAll(target), "original");
    EXPECT_EQ(filesIn(dir), 1u);
}

} // namespace
