// Extraction stays inside its folder, follows no link, and reports every failure.
#include <gtest/gtest.h>

#include "os/File.h"
#include "tests/unit/extract/ExtractFixture.h"

#include <atomic>
#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace vexmar;

using testzip::Entry;

namespace {

Entry file(const std::string& name, const std::string& data) {
    return Entry{.name = name, .data = data};
}

os::wstring wide(const fs::path& p) {
    const std::u8string text = p.u8string();
    return os::fromUtf8(reinterpret_cast<const char*>(text.c_str()), text.size());
}

// Every file below `root`, as relative paths with "/".
std::vector<std::string> filesBelow(const fs::path& root) {
    std::vector<std::string> found;
    for (const auto& item : fs::recursive_directory_iterator(root))
        if (!item.is_directory())
            found.push_back(item.path().lexically_relative(root).generic_string());
    std::sort(found.begin(), found.end());
    return found;
}

// Symbolic links need a privilege on Windows that a test may not have.
bool plantLink(const fs::path& target, const fs::path& link, bool directory) {
    std::error_code error;
    if (directory)
        fs::create_directory_symlink(target, link, error);
    else
        fs::create_symlink(target, link, error);
    return !error && fs::is_symlink(link);
}

// Restores the current directory when it goes.
struct CurrentDirectory {
    explicit CurrentDirectory(const fs::path& to) : saved(fs::current_path()) {
        fs::current_path(to);
    }
    ~CurrentDirectory() { fs::current_path(saved); }
    fs::path saved;
};

TEST_F(ExtractTest, ControlCharactersFailTheirEntryAndNothingLandsAbove) {
    out = base / "a" / "b" / "out";
    ASSERT_TRUE(open({file("x/.\r./.\r./.\r./f", "escaped"), file("x/.\n./g", "escaped"),
                      file("ok.txt", "ok")}));
    EXPECT_FALSE(extract());
    EXPECT_TRUE(logHas("The entry's name contains a control character.")) << zip.LastErrorXml();
    EXPECT_EQ(filesBelow(base), std::vector<std::string>{"a/b/out/ok.txt"});
}

TEST_F(ExtractTest, EveryFormOfTheTargetIsTheSameFolder) {
    const fs::path cwd = base / "cwd";
    fs::create_directories(cwd / "inner" / "a");
    const struct {
        fs::path from;    // the current directory
        std::string dir;  // the target as given
        fs::path lands;   // where the target is
    } cases[] = {
        {cwd, ".", cwd},
        {cwd, "", cwd},
        {cwd, "  ", cwd},
        {cwd, "./", cwd},
        {cwd, "inner/..", cwd},
        {cwd, "inner/a/../..", cwd},
        {cwd / "inner", "..", cwd},
        {cwd / "inner", "../inner/./a", cwd / "inner" / "a"},
        {base, (cwd / "inner").string(), cwd / "inner"},
    };
    ASSERT_TRUE(open({file("../up.txt", "x"), file("sub/../../up2.txt", "x"),
                      file("in.txt", "in")}));
    for (const auto& c : cases) {
        {
            CurrentDirectory here(c.from);
            EXPECT_FALSE(zip.Extract(os::fromUtf8(c.dir).c_str())) << c.dir;
        }
        EXPECT_TRUE(logHas("outside the extraction directory")) << c.dir;
        EXPECT_EQ(read(c.lands / "in.txt"), "in") << c.dir;
        fs::remove(c.lands / "in.txt");
        for (const fs::path& above : {c.lands.parent_path(), base, cwd, cwd / "inner"}) {
            EXPECT_FALSE(fs::exists(above / "up.txt")) << c.dir;
            EXPECT_FALSE(fs::exists(above / "up2.txt")) << c.dir;
        }
    }
}

TEST_F(ExtractTest, LinksInsideTheTargetAreNeverFollowed) {
    fs::create_directories(out);
    fs::create_directories(base / "elsewhere");
    std::ofstream(base / "victim") << "precious";
    if (!plantLink("../elsewhere", out / "link", true) ||
        !plantLink("../victim", out / "a.txt", false) ||
        !plantLink("../nowhere", out / "dangling", false))
        GTEST_SKIP() << "symbolic links cannot be made here";
    ASSERT_TRUE(open({file("link/f.txt", "through the link"), Entry{.name = "link/sub/"},
                      file("a.txt", "over the victim"), file("dangling", "d"),
                      file("dangling/y.txt", "y"), file("good/ok.txt", "ok")}));
    EXPECT_FALSE(extract());
    EXPECT_TRUE(logHas("links are not followed")) << zip.LastErrorXml();
    EXPECT_TRUE(filesBelow(base / "elsewhere").empty());
    EXPECT_EQ(read(base / "victim"), "precious");
    EXPECT_FALSE(fs::exists(base / "nowhere"));
    EXPECT_TRUE(fs::is_symlink(out / "link"));
    EXPECT_TRUE(fs::is_symlink(out / "a.txt"));
    EXPECT_EQ(read(out / "good" / "ok.txt"), "ok");
    EXPECT_FALSE(zip.LastErrorXml().find("<UnzipFailedDir>") == std::string::npos);
}

TEST_F(ExtractTest, TheTargetItselfMayBeALink) {
    fs::create_directories(out);
    if (!plantLink(out, base / "chosen", true))
        GTEST_SKIP() << "symbolic links cannot be made here";
    ASSERT_TRUE(open({file("d/f.txt", "f")}));
    ASSERT_TRUE(zip.Extract(wide(base / "chosen").c_str())) << zip.LastErrorXml();
    EXPECT_EQ(read(out / "d" / "f.txt"), "f");
}

TEST_F(ExtractTest, AHardLinkIsReplacedNotWrittenThrough) {
    fs::create_directories(out);
    std::ofstream(base / "victim") << "precious";
    std::error_code error;
    fs::create_hard_link(base / "victim", out / "h.txt", error);
    if (error)
        GTEST_SKIP() << "hard links cannot be made here";
    ASSERT_TRUE(open({file("h.txt", "new")}));
    ASSERT_TRUE(extract()) << zip.LastErrorXml();
    EXPECT_EQ(read(out / "h.txt"), "new");
    EXPECT_EQ(read(base / "victim"), "precious");
}

TEST_F(ExtractTest, DeviceNamesAndColonsAreRepairedAndKeepTheirData) {
    const struct {
        const char* name;
        const char* written;
    } cases[] = {
        {"sub/nul", "sub/_nul"},
        {"CON.txt", "_CON.txt"},
        {"aux/prn.log", "_aux/_prn.log"},
        {"Com1", "_Com1"},
        {"lpt9.x.y", "_lpt9.x.y"},
        {"conin$", "_conin$"},
        {"CONOUT$", "_CONOUT$"},
        {"a:b", "a_b"},
        {"d/e:f:g", "d/e_f_g"},
        {"C:x.txt", "C_x.txt"},
        {"D:\\y.txt", "y.txt"},
    };
    std::vector<Entry> entries;
    for (const auto& c : cases)
        entries.push_back(file(c.name, std::string("data of ") + c.name));
    ASSERT_TRUE(open(entries));
    ASSERT_TRUE(extract()) << zip.LastErrorXml();
    for (const auto& c : cases)
        EXPECT_EQ(read(out / c.written), std::string("data of ") + c.name) << c.name;
}

#ifndef _WIN32
// The target is the user's: characters an entry may not use are fine in it.
TEST_F(ExtractTest, ATargetWithColonsAndQuestionMarksIsUsedAsGiven) {
    out = base / "we:ird?dir*";
    ASSERT_TRUE(open({file("a/b.txt", "b"), Entry{.name = "c/"}}));
    ASSERT_TRUE(extract()) << zip.LastErrorXml();
    EXPECT_EQ(read(out / "a" / "b.txt"), "b");
    EXPECT_TRUE(fs::is_directory(out / "c"));
}
#endif

TEST_F(ExtractTest, OverlappingEntriesAreRefusedNamingBoth) {
    const std::string data(1000, 'z');
    Entry second = file("second.bin", data);
    second.localOffset = 0; // the first entry's local header
    Entry inside = file("inside.bin", "");
    inside.localOffset = 40; // inside the first entry's data
    const struct {
        const char* what;
        std::vector<Entry> entries;
        const char* other;
    } cases[] = {
        {"same local header", {file("first.bin", data), second}, "second.bin"},
        {"header inside data", {file("first.bin", data), inside}, "inside.bin"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(open(c.entries)) << c.what;
        EXPECT_FALSE(extract()) << c.what;
        EXPECT_TRUE(logHas("Two entries share bytes of the archive.")) << c.what;
        EXPECT_TRUE(logHas("<entry>first.bin</entry>")) << zip.LastErrorXml();
        EXPECT_TRUE(logHas(std::string("<otherEntry>") + c.other)) << zip.LastErrorXml();
        EXPECT_FALSE(fs::exists(out / "first.bin")) << c.what;
        EXPECT_FALSE(zip.Test()) << c.what;
        EXPECT_TRUE(logHas("Two entries share bytes of the archive.")) << c.what;
    }
    // Neighbours that touch do not overlap.
    ASSERT_TRUE(open({file("a", data), file("b", data), Entry{.name = "c/"}}));
    EXPECT_TRUE(zip.Test()) << zip.LastErrorXml();
}

TEST_F(ExtractTest, FilesThatCannotBeCreatedFailTheirEntry) {
    const struct {
        const char* name;
        std::string data;
        bool forgiven;
    } cases[] = {
        {"empty.txt", "", false},
        {"MyThumbs.db", "t", false},
        {"Thumbs.db.bak", "t", false},
        {"sub/Thumbs.db", "t", true},
        {"THUMBS.DB", "t", true},
    };
    for (const auto& c : cases) {
        fs::remove_all(out);
        fs::create_directories(out / c.name); // a folder where the file should go
        ASSERT_TRUE(open({file(c.name, c.data)}));
        EXPECT_EQ(extract(), c.forgiven) << c.name << zip.LastErrorXml();
        EXPECT_EQ(logHas("UnzipFailedFilename"), !c.forgiven) << c.name;
        EXPECT_TRUE(logHas("<numUnzipped>0</numUnzipped>")) << c.name;
    }
}

TEST_F(ExtractTest, AFailedOpenLeavesTheArchiveClosed) {
    const std::string good = testzip::build({file("a.txt", "a"), file("b.txt", "b")});
    testzip::Options lying;
    lying.entryCount = 3; // two headers are read before the walk fails
    const std::string halfRead = testzip::build({file("a.txt", "a"), file("b.txt", "b")}, lying);
    std::ofstream(base / "half.zip", std::ios::binary) << halfRead;
    const std::vector<std::string> failures = {"not an archive", halfRead};
    for (const std::string& bad : failures) {
        ASSERT_TRUE(zip.OpenFromMemory(good.data(), uint32_t(good.size())));
        EXPECT_FALSE(zip.OpenFromMemory(bad.data(), uint32_t(bad.size())));
        EXPECT_EQ(zip.NumEntries(), 0u);
        EXPECT_TRUE(extract());
        EXPECT_FALSE(fs::exists(out / "a.txt"));
    }
    ASSERT_TRUE(zip.OpenFromMemory(good.data(), uint32_t(good.size())));
    EXPECT_FALSE(zip.OpenFromMemory(good.data(), 0));
    EXPECT_EQ(zip.NumEntries(), 0u);
    ASSERT_TRUE(zip.OpenFromMemory(good.data(), uint32_t(good.size())));
    EXPECT_FALSE(zip.OpenFromFile(wide(base / "half.zip").c_str()));
    EXPECT_EQ(zip.NumEntries(), 0u);
    ASSERT_TRUE(zip.OpenFromMemory(good.data(), uint32_t(good.size())));
    EXPECT_FALSE(zip.OpenFromFile(wide(base / "missing.zip").c_str()));
    EXPECT_EQ(zip.NumEntries(), 0u);
}

// Closes the archive from another thread while the first entry is being written.
class CloseWhileExtracting : public VxZipProgressW {
public:
    explicit CloseWhileExtracting(VxZipW& zip) : zip_(zip) {}
    ~CloseWhileExtracting() override {
        if (closer_.joinable())
            closer_.join();
    }
    void percentDone(int, bool* abort) override {
        *abort = false;
        if (closer_.joinable())
            return;
        closer_ = std::thread([this] {
            zip_.CloseZip();
            closed = true;
        });
        // Time for a CloseZip that does not wait to free the entries under us.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        closedDuringExtract = closed.load();
    }
    std::atomic<bool> closed{false};
    bool closedDuringExtract = false;

private:
    VxZipW& zip_;
    std::thread closer_;
};

TEST_F(ExtractTest, CloseZipWaitsForARunningExtract) {
    const std::string data(50000, 'x');
    ASSERT_TRUE(open({file("a.bin", data), file("b.bin", data), file("c.bin", data)}));
    CloseWhileExtracting closer(zip);
    zip.SetEventCallback(&closer);
    EXPECT_TRUE(extract()) << zip.LastErrorXml();
    zip.SetEventCallback(nullptr);
    EXPECT_FALSE(closer.closedDuringExtract);
    EXPECT_EQ(read(out / "c.bin"), data);
}

TEST_F(ExtractTest, ExistingFilesAreReplacedWhateverTheirAttributes) {
    const std::vector<uint32_t> attributeSets = {
        os::kAttrReadOnly,
#ifdef _WIN32
        FILE_ATTRIBUTE_HIDDEN,
        FILE_ATTRIBUTE_SYSTEM,
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY,
#endif
    };
    ASSERT_TRUE(open({file("x.txt", "new")}));
    for (const uint32_t attributes : attributeSets) {
        fs::create_directories(out);
        std::ofstream(out / "x.txt") << "old";
#ifdef _WIN32
        ASSERT_TRUE(SetFileAttributesW(wide(out / "x.txt").c_str(), attributes));
#else
        fs::permissions(out / "x.txt", fs::perms::owner_read);
#endif
        EXPECT_TRUE(extract()) << attributes << zip.LastErrorXml();
        EXPECT_EQ(read(out / "x.txt"), "new") << attributes;
        fs::remove_all(out);
    }
}

} // namespace
