// Exclusive creation and replacing one file by another in one step.
#include "os/File.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace {

namespace fs = std::filesystem;

class FileReplace : public testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        root_ = fs::temp_directory_path() / ("pellquin-os-test-" + std::to_string(random()));
        fs::create_directories(root_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    std::string at(const char* name) const { return (root_ / name).string(); }
    static void write(const std::string& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    os::FileHandle createNew(const std::string& path, uint32_t& error) {
        os::FileOpenRequest request;
        request.access = os::kAccessWrite;
        request.creation = os::FileCreation::CreateNew;
        bool wideForm = false;
        return os::openFile(path.c_str(), request, error, wideForm);
    }

    fs::path root_;
};

TEST_F(FileReplace, CreateNewRefusesAnythingThatExists) {
    write(at("taken"), "kept");
    uint32_t error = 0;
    EXPECT_EQ(createNew(at("taken"), error), os::kNoFile);
    EXPECT_EQ(os::classifyFileError(error), os::FileError::AlreadyExists);
    EXPECT_EQ(read(at("taken")), "kept");

    const os::FileHandle fresh = createNew(at("fresh"), error);
    ASSERT_NE(fresh, os::kNoFile);
    os::closeFile(fresh);
    EXPECT_TRUE(fs::exists(at("fresh")));
}

#ifndef _WIN32
// A link planted under the name is not followed: its target is not created.
TEST_F(FileReplace, CreateNewDoesNotFollowALink) {
    fs::create_symlink(at("elsewhere"), at("planted"));
    uint32_t error = 0;
    EXPECT_EQ(createNew(at("planted"), error), os::kNoFile);
    EXPECT_EQ(os::classifyFileError(error), os::FileError::AlreadyExists);
    EXPECT_FALSE(fs::exists(at("elsewhere")));
}
#endif

TEST_F(FileReplace, ReplaceFileTakesTheOldName) {
    write(at("old"), "old bytes");
    write(at("new"), "new bytes");
    uint32_t error = 0;
    ASSERT_TRUE(os::replaceFile(at("new").c_str(), at("old").c_str(), error)) << error;
    EXPECT_EQ(read(at("old")), "new bytes");
    EXPECT_FALSE(fs::exists(at("new")));
}

TEST_F(FileReplace, ResolveLinksGivesAPlainPathUnchanged) {
    write(at("plain"), "x");
    std::string target;
    uint32_t error = 0;
    ASSERT_TRUE(os::resolveLinks(at("plain").c_str(), target, error));
    EXPECT_TRUE(fs::equivalent(target, at("plain")));
    EXPECT_EQ(fs::path(target).filename(), "plain");
}

} // namespace

// Space set aside leaves the file's length alone; far more than any disk holds
// fails before a byte is written (where the system sets space aside at all:
// Wine does not, and succeeds with nothing reserved).
TEST_F(FileReplace, ReservedSpaceKeepsTheLengthAndAnImpossibleOneFails) {
    uint32_t error = 0;
    const os::FileHandle file = createNew(at("reserved"), error);
    ASSERT_NE(file, os::kNoFile);
    EXPECT_TRUE(os::reserveFileSpace(file, 1 << 20, error));
    int64_t size = -1;
    ASSERT_TRUE(os::fileSize(file, size, error));
    EXPECT_EQ(size, 0);
#ifndef _WIN32
    EXPECT_FALSE(os::reserveFileSpace(file, uint64_t(1) << 60, error));
#endif
    uint32_t done = 0;
    EXPECT_TRUE(os::writeFile(file, "data", 4, done, error));
    os::closeFile(file);
    EXPECT_EQ(read(at("reserved")), "data");
}
