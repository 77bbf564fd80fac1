// Writing a new version of a file beside it and moving it into place: the old
// file stays as it was until the move, and nothing is left behind on failure.
#include "tests/unit/fs/ScratchDir.h"
#include "zip/facade/FileReplacement.h"

#include <gtest/gtest.h>

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace vexmar;

namespace {

namespace fs = std::filesystem;

class FileReplacementTest : public testing::Test {
protected:
    void SetUp() override { scratch::writeAll(target_, "original"); }
    // Begins the replacement and writes `text` as the new file.
    void start(FileReplacement& replacement, const std::string& text) {
        ASSERT_TRUE(replacement.begin(scratch::X(target_), log_)) << scratch::logText(log_);
        uint64_t written = 0;
        ASSERT_TRUE(replacement.file().write(text.data(), text.size(), written, nullptr));
    }
    size_t filesInDir() const {
        return size_t(std::distance(fs::directory_iterator(scratch::fsPath(dir_.path())),
                                    fs::directory_iterator()));
    }

    scratch::Dir dir_;
    const std::string target_ = dir_["target.exe"];
    Logger log_;
};

TEST_F(FileReplacementTest, TheNewFileTakesTheOldOnesPlace) {
    FileReplacement replacement;
    start(replacement, "new");
    EXPECT_EQ(fs::path(scratch::fsPath(replacement.newPath().getUtf8())).parent_path(),
              fs::canonical(scratch::fsPath(dir_.path())));
    EXPECT_EQ(scratch::readAll(target_), "original");
    ASSERT_TRUE(replacement.commit(log_)) << scratch::logText(log_);
    EXPECT_EQ(scratch::readAll(target_), "new");
    EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(FileReplacementTest, AFailedMoveKeepsTheOriginal) {
    {
        FileReplacement replacement;
        start(replacement, "replacement");
#ifdef _WIN32
        // Another program holds the old file and lets nobody delete or rename it.
        const HANDLE holder =
            CreateFileW(scratch::fsPath(target_).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                        OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(replacement.commit(log_));
        CloseHandle(holder);
#else
        // A folder with something in it stands in the new file's place: the
        // rights can be given, but a folder cannot take a file's name.
        const fs::path planted = scratch::fsPath(replacement.newPath().getUtf8());
        fs::remove(planted);
        fs::create_directory(planted);
        scratch::writeAll(scratch::utf8(planted / "inside"), "x");
        EXPECT_FALSE(replacement.commit(log_));
        fs::remove_all(planted);
#endif
        EXPECT_NE(scratch::logText(log_).find("Failed to move the new file into the old one's place"),
                  std::string::npos)
            << scratch::logText(log_);
    }
    EXPECT_EQ(scratch::readAll(target_), "original");
    EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(FileReplacementTest, AnAbandonedReplacementLeavesNothingBehind) {
    {
        FileReplacement replacement;
        start(replacement, "half");
    }
    EXPECT_EQ(scratch::readAll(target_), "original");
    EXPECT_EQ(filesInDir(), 1u);
}

} // namespace
