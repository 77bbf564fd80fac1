// Directory creation with its retries and debug-log messages, CreateDirectoryRecurse
// with the folders it made and its error context, and SetPermissions.
#include "tests/unit/path/PathTestSupport.h"

#include "toolkit/path/CreateDirectory.h"
#include "toolkit/path/DirectoryCreationCalls.h"
#include "toolkit/path/FileTests.h"
#include "toolkit/path/Permissions.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace pathtest {
namespace {

using namespace Quillkit;

// A clock that moves one second per reading (or stands still), no real pauses,
// and a count of the pauses asked for.
int64_t fakeSeconds = 0;
int64_t secondsPerReading = 1;
int pauses = 0;
int64_t fakeNow() {
    const int64_t now = fakeSeconds;
    fakeSeconds += secondsPerReading;
    return now;
}
void fakeSleep(uint32_t ms) {
    EXPECT_EQ(ms, 50u);
    ++pauses;
}
// Always "access denied".
bool deniedCreate(const WChar*, void*, uint32_t& error) {
    error = 5;
    return false;
}
// Another process makes the folder just before this one tries.
bool lateCreate(const WChar* path, void* attributes, uint32_t& error) {
    uint32_t ignored = 0;
    SystemDirectoryCreationCalls().create(path, attributes, ignored);
    return SystemDirectoryCreationCalls().create(path, attributes, error);
}

class DirectoryTest : public PathTest {
protected:
    void SetUp() override {
        PathTest::SetUp();
        fakeSeconds = 0;
        secondsPerReading = 1;
        pauses = 0;
    }
    void TearDown() override {
        CurrentDirectoryCreationCalls() = SystemDirectoryCreationCalls();
        PathTest::TearDown();
    }
    void UseFakeClock(bool (*create)(const WChar*, void*, uint32_t&) = nullptr) {
        DirectoryCreationCalls calls = SystemDirectoryCreationCalls();
        calls.sleep = fakeSleep;
        calls.now = fakeNow;
        if (create)
            calls.create = create;
        CurrentDirectoryCreationCalls() = calls;
    }
    size_t Count(const std::string& text) {
        const std::string log = LogText();
        size_t n = 0;
        for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++n;
        return n;
    }
};

std::string AttemptMessage(int attempt, const std::string& path, int error) {
    return "CREATE DIRECTORY ATTEMPT FAILED: \r\n\tTimeout value: 30.000000 seconds\r\n"
           "\tNumber of creation attempts: " +
           std::to_string(attempt) + "\r\n\tTarget directory: " + path +
           "\r\n\tGetLastError() returns: " + std::to_string(error) + "\r\n";
}

TEST_F(DirectoryTest, CreatesANewDirectory) {
    const std::string path = Scratch("new");
    EXPECT_TRUE(MetaCreateDirectory(W(path).c_str(), nullptr));
    EXPECT_TRUE(DirectoryExists(W(path).c_str()));
    EXPECT_EQ(LogLines().at(0), "MetaCreateDirectory is trying to create " + path);
    EXPECT_EQ(Count("ATTEMPT FAILED"), 0u);
}

TEST_F(DirectoryTest, AnExistingDirectoryIsRetriedUntilTheTimeLimit) {
    UseFakeClock();
    const std::string path = Scratch();
    EXPECT_FALSE(MetaCreateDirectory(W(path).c_str(), nullptr));
    // Readings 1 to 30 are within the limit; reading 31 is past it.
    EXPECT_EQ(Count("CREATE DIRECTORY ATTEMPT FAILED"), 31u);
    EXPECT_NE(LogText().find(AttemptMessage(0, path, 183)), std::string::npos);
    EXPECT_NE(LogText().find(AttemptMessage(30, path, 183)), std::string::npos);
    const std::string timeout = "CREATE DIRECTORY FAILED: TIMEOUT REACHED!!!\r\n\tTimeout value: "
                                "30.000000 seconds\r\n\tNumber of creation attempts: 31\r\n"
                                "\tTarget directory: " +
                                path + "\r\n\tGetLastError() returns: 183\r\n";
    EXPECT_NE(LogText().find(timeout), std::string::npos);
    EXPECT_EQ(pauses, 31);
}

TEST_F(DirectoryTest, AttemptsRunOutAfter1001) {
    secondsPerReading = 0;
    UseFakeClock(deniedCreate);
    const std::string path = Scratch("denied");
    EXPECT_FALSE(MetaCreateDirectory(W(path).c_str(), nullptr));
    EXPECT_EQ(Count("CREATE DIRECTORY ATTEMPT FAILED"), 1001u);
    EXPECT_NE(LogText().find(AttemptMessage(1000, path, 5)), std::string::npos);
    const std::string exhausted =
        "CREATE DIRECTORY FAILED: MAXIMUM NUMBER OF ATTEMPTS REACHED!!!\r\n"
        "\tNumber of creation attempts: 1001\r\n\tTarget directory: " +
        path + "\r\n\tGetLastError() returns: 5\r\n";
    EXPECT_NE(LogText().find(exhausted), std::string::npos);
    EXPECT_EQ(Count("TIMEOUT"), 0u);
}

TEST_F(DirectoryTest, AMissingParentFailsAtOnce) {
    UseFakeClock();
    const std::string path = Scratch("missing\\child");
    EXPECT_FALSE(MetaCreateDirectory(W(path).c_str(), nullptr));
    EXPECT_EQ(Count("CREATE DIRECTORY ATTEMPT FAILED"), 1u);
    EXPECT_NE(LogText().find(AttemptMessage(0, path, 3)), std::string::npos);
    EXPECT_EQ(Count("TIMEOUT"), 0u);
    EXPECT_EQ(pauses, 0);
}

TEST_F(DirectoryTest, RecurseListsTheFoldersItCreatedOutermostFirst) {
    std::filesystem::create_directories(Native("a"));
    std::vector<StrictPath> created;
    CreateDirectoryRecurse(W(Scratch("a\\b\\c")).c_str(), nullptr, &created);
    ASSERT_EQ(created.size(), 2u);
    EXPECT_EQ(Text(created[0]), Scratch("a\\b\\"));
    EXPECT_EQ(Text(created[1]), Scratch("a\\b\\c\\"));
    EXPECT_EQ(created[1].GetPathAttributes(), kDirectory);
    EXPECT_TRUE(std::filesystem::is_directory(Native("a\\b\\c")));

    created.clear();
    CreateDirectoryRecurse(W(Scratch("a\\b\\c\\")).c_str(), nullptr, &created);
    EXPECT_TRUE(created.empty());
    CreateDirectoryRecurse(W(Scratch("a\\b\\d")).c_str(), nullptr, nullptr);
    EXPECT_TRUE(std::filesystem::is_directory(Native("a\\b\\d")));
}

TEST_F(DirectoryTest, RecurseReportsADirectoryAccessError) {
    WriteFile("file.txt", "x");
    std::vector<StrictPath> created;
    const std::string path = Scratch("made\\file.txt\\sub");
    std::filesystem::create_directories(Native("made"));
    std::filesystem::rename(Native("file.txt"), Native("made\\file.txt"));
    UseFakeClock();
    Raised raised = Catch([&] { CreateDirectoryRecurse(W(path).c_str(), nullptr, &created); });
    EXPECT_EQ(raised.code, -12);
    EXPECT_EQ(raised.summary, "Directory access error.");
    EXPECT_EQ(raised.detail, "Error creating directory \"" + path + "\".");
    EXPECT_EQ(raised.debugText, "Quillkit: Quillkit::CreateDirectoryRecurse failed.");
    // The platform error that caused it follows as an additional detail.
    EXPECT_NE(raised.log.find("Additional details:"), std::string::npos);
    EXPECT_NE(raised.log.find("> Internal system error."), std::string::npos);
    EXPECT_TRUE(created.empty());
}

TEST_F(DirectoryTest, RecurseRejectsAnInvalidPath) {
    const std::string path = Scratch("a|b");
    Raised raised = Catch([&] { CreateDirectoryRecurse(W(path).c_str(), nullptr, nullptr); });
    EXPECT_EQ(raised.summary, "Directory access error.");
    EXPECT_NE(raised.log.find("Invalid path."), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Native("a|b")));
}

// Another launcher creating the same folder at the same moment must not hold
// this one for the 30 seconds of the retry rule.
TEST_F(DirectoryTest, RecurseTakesAFolderMadeConcurrently) {
    UseFakeClock(lateCreate);
    std::vector<StrictPath> created;
    CreateDirectoryRecurse(W(Scratch("x\\y")).c_str(), nullptr, &created);
    EXPECT_TRUE(std::filesystem::is_directory(Native("x\\y")));
    EXPECT_TRUE(created.empty());
    EXPECT_EQ(Count("TIMEOUT"), 0u);
    EXPECT_EQ(pauses, 0);
}

#ifndef _WIN32
// The permission bits of a scratch file or folder.
unsigned Mode(const std::filesystem::path& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? unsigned(st.st_mode & 0777) : ~0u;
}
#endif

TEST_F(DirectoryTest, SetPermissionsOnAMissingPath) {
    const std::string path = Scratch("missing.txt");
    EXPECT_FALSE(SetPermissions(W(path)));
    EXPECT_NE(LogText().find("SetPermissions: File not found for setting permissions: " + path),
              std::string::npos);
}

TEST_F(DirectoryTest, SetPermissionsOpensAFileAndAFolder) {
    WriteFile("dir\\shared.ini", "x");
#ifndef _WIN32
    chmod(Native("dir").c_str(), 0700);
    chmod(Native("dir\\shared.ini").c_str(), 0600);
#endif
    EXPECT_TRUE(SetPermissions(W(Scratch("dir"))));
    EXPECT_TRUE(SetPermissions(W(Scratch("dir\\shared.ini"))));
    EXPECT_EQ(LogText(), "");
#ifndef _WIN32
    EXPECT_EQ(Mode(Native("dir")), 0777u);
    EXPECT_EQ(Mode(Native("dir\\shared.ini")), 0666u);
#endif
}

enum class LinkKind { File, Folder, Hard };

// Makes `link` a link of `kind` to `target`; false where the system cannot.
bool MakeLink(LinkKind kind, const std::filesystem::path& target,
              const std::filesystem::path& link) {
#ifdef _WIN32
    const DWORD unprivileged = 2; // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    switch (kind) {
    case LinkKind::File:
        return CreateSymbolicLinkW(link.c_str(), target.c_str(), unprivileged) != 0;
    case LinkKind::Folder:
        return CreateSymbolicLinkW(link.c_str(), target.c_str(),
                                   SYMBOLIC_LINK_FLAG_DIRECTORY | unprivileged) != 0;
    case LinkKind::Hard:
        return CreateHardLinkW(link.c_str(), target.c_str(), nullptr) != 0;
    }
    return false;
#else
    std::error_code error;
    if (kind == LinkKind::File)
        std::filesystem::create_symlink(target, link, error);
    else if (kind == LinkKind::Folder)
        std::filesystem::create_directory_symlink(target, link, error);
    else
        std::filesystem::create_hard_link(target, link, error);
    return !error;
#endif
}

// A link put where the file or folder should be is refused, and what it points
// to keeps its permissions; so is a file with a second hard link elsewhere.
TEST_F(DirectoryTest, SetPermissionsNeverFollowsLinks) {
    WriteFile("private\\secret.txt", "x");
#ifndef _WIN32
    chmod(Native("private").c_str(), 0700);
    chmod(Native("private\\secret.txt").c_str(), 0600);
#endif
    const struct {
        LinkKind kind;
        const char* target;
        const char* link;
    } cases[] = {
        {LinkKind::File, "private\\secret.txt", "file-link"},
        {LinkKind::Folder, "private", "folder-link"},
        {LinkKind::Hard, "private\\secret.txt", "second-name.txt"},
    };
    int tried = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        std::error_code unreachable;
        if (!MakeLink(c.kind, Native(c.target), Native(c.link)) ||
            !std::filesystem::exists(Native(c.link), unreachable))
            continue; // this system cannot make such a link, or not one that leads anywhere
        ++tried;
        EXPECT_FALSE(SetPermissions(W(Scratch(c.link))));
        EXPECT_NE(LogText().find("SetPermissions: Refused to set permissions on a link: " +
                                 Scratch(c.link)),
                  std::string::npos)
            << LogText();
    }
    if (tried == 0)
        GTEST_SKIP() << "no links can be made here";
#ifndef _WIN32
    EXPECT_EQ(Mode(Native("private")), 0700u);
    EXPECT_EQ(Mode(Native("private\\secret.txt")), 0600u);
#endif
}

} // namespace
} // namespace pathtest
