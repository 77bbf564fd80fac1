// The free-space rule: the bytes to write plus 5% (at least 16 MiB) must be free,
// asked of the target folder or, before it exists, of its nearest existing parent.
#include "app/FreeSpace.h"
#include "app/SuiteLockName.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

namespace {

constexpr uint64_t MiB = kMebibyte;
constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();

TEST(FreeSpace, MarginIsFivePercentAndAtLeastSixteenMebibytes) {
    const struct {
        uint64_t bytes;
        uint64_t needed;
    } cases[] = {
        {0, 16 * MiB},
        {1, 1 + 16 * MiB},
        {320 * MiB, 336 * MiB},         // 5% is exactly 16 MiB
        {400 * MiB, 420 * MiB},         // 5% above the minimum
        {21, 21 + 16 * MiB},
        {2000 * MiB + 1, 2100 * MiB + 2}, // 5% rounded up
        {kMax - 5, kMax},               // saturates instead of wrapping
        {kMax, kMax},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpaceNeeded(c.bytes), c.needed) << c.bytes;
}

TEST(FreeSpace, SizesAddWithoutWrapping) {
    EXPECT_EQ(AddSizes(1, 2), 3u);
    EXPECT_EQ(AddSizes(kMax, 1), kMax);
    EXPECT_EQ(AddSizes(kMax - 1, kMax - 1), kMax);
}

TEST(FreeSpace, MegabytesRoundTowardsTheSafeSide) {
    EXPECT_EQ(MegabytesRoundedUp(0), 0u);
    EXPECT_EQ(MegabytesRoundedUp(1), 1u);
    EXPECT_EQ(MegabytesRoundedUp(20 * MiB), 20u);
    EXPECT_EQ(MegabytesRoundedUp(20 * MiB + 1), 21u);
    EXPECT_EQ(MegabytesRoundedUp(kMax), kMax / MiB + 1);
    EXPECT_EQ(MegabytesRoundedDown(20 * MiB - 1), 19u);
    EXPECT_EQ(MegabytesRoundedDown(20 * MiB), 20u);
}

TEST(FreeSpace, ParentFolders) {
    const struct {
        const char* folder;
        const char* parent;
    } cases[] = {
        {"C:\\a\\b\\", "C:\\a\\"}, {"C:\\a\\b", "C:\\a\\"}, {"C:\\a\\", "C:\\"},
        {"C:\\", ""},              {"C:", ""},             {"\\\\server\\share\\", "\\\\server\\"},
        {"\\\\server\\", ""},      {"rel", ""},            {"Z:/tmp//x/", "Z:/tmp//"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(os::toUtf8(ParentFolder(os::fromUtf8(c.folder))), c.parent) << c.folder;
}

TEST(FreeSpace, AFolderNotYetMadeIsAnsweredByItsParent) {
    std::string root = std::filesystem::temp_directory_path().string();
    while (!root.empty() && (root.back() == '/' || root.back() == '\\'))
        root.pop_back();
    SpaceVerdict verdict =
        CheckFreeSpace(os::fromUtf8(root + "/pellquin-not-made/deeper/still/"), 1);
    ASSERT_TRUE(verdict.known);
    EXPECT_EQ(os::toUtf8(verdict.askedFor), root + "/");
    EXPECT_EQ(verdict.needed, 1 + 16 * MiB);
    EXPECT_EQ(verdict.fits, verdict.free >= verdict.needed);

    // Nothing on any volume has room for this.
    EXPECT_FALSE(CheckFreeSpace(os::fromUtf8(root), kMax / 2).fits);
}

TEST(FreeSpace, UnknownVolumeDoesNotRefuse) {
    SpaceVerdict verdict = CheckFreeSpace(os::fromUtf8("Q:\\nowhere\\"), 1);
    EXPECT_FALSE(verdict.known);
    EXPECT_TRUE(verdict.fits);
    EXPECT_NE(verdict.error, 0u);
}

TEST(SuiteLockName, OneNamePerSuiteInTheSessionNamespace) {
    os::wstring name = SuiteMutexName(os::fromUtf8("{4A3B2C1D-0E0F-4a1b-8C9D-AABBCCDDEEFF}"));
    EXPECT_EQ(os::toUtf8(name), "Local\\Pellquin.Suite.4a3b2c1d-0e0f-4a1b-8c9d-aabbccddeeff");
    // Case and braces do not make another suite.
    EXPECT_EQ(name, SuiteMutexName(os::fromUtf8("4a3b2c1d-0e0f-4A1B-8c9d-aabbccddeeff")));
    // Nothing in a GUID string reaches past the namespace's one backslash.
    EXPECT_EQ(os::toUtf8(SuiteMutexName(os::fromUtf8("..\\Global\\x"))), "Local\\Pellquin.Suite.globalx");
    EXPECT_EQ(os::toUtf8(SuiteMutexName(os::wstring())), "Local\\Pellquin.Suite.unknown");
    EXPECT_EQ(os::toUtf8(SuiteWindowProperty(os::fromUtf8("{AB-1}"))), "Pellquin.Suite.ab-1.Window");
}

} // namespace
