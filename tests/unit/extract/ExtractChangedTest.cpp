// Bringing an extracted folder up to date: only files that are missing or differ
// from their entry are written again.
#include <gtest/gtest.h>

#include "tests/unit/extract/ExtractFixture.h"

#include <chrono>
#include <map>

using namespace vexmar;

using testzip::Entry;

namespace {

class ExtractChangedTest : public ExtractTest {
protected:
    const std::vector<Entry> payload = {
        Entry{.name = "Installer/"},
        Entry{.name = "Installer/setup.exe", .data = "MZ the installer"},
        Entry{.name = "Installer/orvsuite.xml", .data = "<suiteid packageguid=\"{x}\"/>"},
        Entry{.name = "Installer/data/table.csv", .data = std::string(5000, 'c')},
    };

    os::wstring wide(const fs::path& p) {
        const std::u8string s = p.u8string();
        return os::fromUtf8(reinterpret_cast<const char*>(s.c_str()), s.size());
    }
    bool extractChanged(const fs::path* only = nullptr) {
        const os::wstring onlyText = only ? wide(*only) : os::wstring();
        return zip.ExtractChanged(wide(out).c_str(), only ? onlyText.c_str() : nullptr, &rewritten);
    }
    // Every file of the folder gets a modification time an hour back, so that a
    // rewrite shows. The times are read back: the file system keeps them coarser.
    void ageFiles() {
        const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
        aged.clear();
        for (const auto& f : fs::recursive_directory_iterator(out)) {
            if (f.is_regular_file()) {
                fs::last_write_time(f.path(), old);
                aged[f.path()] = fs::last_write_time(f.path());
            }
        }
    }
    std::vector<std::string> rewrittenFiles() {
        std::vector<std::string> names;
        for (const auto& f : fs::recursive_directory_iterator(out)) {
            if (f.is_regular_file() &&
                (!aged.count(f.path()) || fs::last_write_time(f.path()) != aged[f.path()]))
                names.push_back(fs::relative(f.path(), out).generic_string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    static void writeFile(const fs::path& p, const std::string& data) {
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary | std::ios::trunc) << data;
    }
    // A fresh extraction, then each named file rewritten with its text (removed when the
    // text is empty), and every file aged.
    template <typename Changes> void extractThenAlter(const Changes& changes) {
        fs::remove_all(out);
        ASSERT_TRUE(extract());
        for (const auto& [name, data] : changes)
            if (data.empty())
                fs::remove(out / name);
            else
                writeFile(out / name, data);
        ageFiles();
    }

    uint32_t rewritten = 99;
    std::map<fs::path, fs::file_time_type> aged;
};

TEST_F(ExtractChangedTest, OnlyMissingOrDifferingFilesAreWrittenAgain) {
    const fs::path setup = "Installer/setup.exe";
    const fs::path table = "Installer/data/table.csv";
    const struct {
        const char* what;
        std::map<fs::path, std::string> replaced; // "" removes the file
        std::vector<std::string> rewritten;
    } cases[] = {
        {"all match", {}, {}},
        {"truncated", {{table, std::string(100, 'c')}}, {"Installer/data/table.csv"}},
        {"missing", {{setup, ""}}, {"Installer/setup.exe"}},
        {"same size, other bytes", {{setup, "MZ a planted one"}}, {"Installer/setup.exe"}},
        {"longer", {{setup, "MZ the installer and more"}}, {"Installer/setup.exe"}},
        {"two differ",
         {{setup, "x"}, {table, ""}},
         {"Installer/data/table.csv", "Installer/setup.exe"}},
    };
    ASSERT_TRUE(open(payload));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(extractThenAlter(c.replaced));
        ASSERT_TRUE(extractChanged()) << zip.LastErrorXml();
        EXPECT_EQ(rewrittenFiles(), c.rewritten);
        EXPECT_EQ(rewritten, c.rewritten.size());
        for (const Entry& e : payload) {
            if (!e.data.empty()) {
                EXPECT_EQ(read(out / e.name), e.data) << e.name;
            }
        }
    }
}

TEST_F(ExtractChangedTest, AnEmptyFolderGetsEverything) {
    ASSERT_TRUE(open(payload));
    ASSERT_TRUE(extractChanged()) << zip.LastErrorXml();
    for (const Entry& e : payload) {
        if (!e.data.empty()) {
            EXPECT_EQ(read(out / e.name), e.data) << e.name;
        }
    }
    EXPECT_EQ(rewritten, 3u);
}

// Before anything is written, the caller learns what the comparison found, only
// the missing or differing entries counting towards the bytes to write, and may
// stop the rewrite (for instance when those bytes do not fit).
TEST_F(ExtractChangedTest, WhatIsToBeWrittenIsToldFirstAndCanBeRefused) {
    const fs::path setup = "Installer/setup.exe";
    const fs::path table = "Installer/data/table.csv";
    const struct {
        const char* what;
        std::map<fs::path, std::string> replaced; // "" removes the file
        bool allow;
        bool asked;
        uint32_t toWrite;
        uint64_t bytes;
        std::vector<std::string> rewritten;
    } cases[] = {
        {"all match: not asked", {}, false, false, 0, 0, {}},
        {"one truncated", {{table, "c"}}, true, true, 1, 5000, {"Installer/data/table.csv"}},
        {"one missing, refused", {{setup, ""}}, false, true, 1, 16, {}},
        {"two differ", {{setup, "x"}, {table, ""}}, true, true, 2, 5016,
         {"Installer/data/table.csv", "Installer/setup.exe"}},
        {"two differ, refused", {{setup, "x"}, {table, "c"}}, false, true, 2, 5016, {}},
    };
    ASSERT_TRUE(open(payload));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(extractThenAlter(c.replaced));
        bool asked = false;
        VxChangedPlan told;
        VxChangedPlan plan;
        const bool ok = zip.ExtractChanged(wide(out).c_str(), nullptr, &rewritten, &plan,
                                           [&](const VxChangedPlan& p) {
                                               asked = true;
                                               told = p;
                                               return c.allow;
                                           });
        EXPECT_EQ(ok, c.allow || !c.asked);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(plan.checked, 3u);
        EXPECT_EQ(plan.toWrite, c.toWrite);
        EXPECT_EQ(plan.bytesToWrite, c.bytes);
        if (c.asked) {
            EXPECT_EQ(told.toWrite, c.toWrite);
            EXPECT_EQ(told.bytesToWrite, c.bytes);
        }
        EXPECT_EQ(rewrittenFiles(), c.rewritten);
        EXPECT_EQ(rewritten, c.rewritten.size());
        if (!c.allow) {
            for (const auto& [name, data] : c.replaced) {
                EXPECT_EQ(fs::exists(out / name), !data.empty()) << name;
            }
        }
    }
}

// Progress rises over checking and writing together and ends at 100, also when
// nothing needs writing.
TEST_F(ExtractChangedTest, ProgressCoversTheCheckingToo) {
    ASSERT_TRUE(open(payload));
    ASSERT_TRUE(extract());
    for (bool changeOne : {false, true}) {
        SCOPED_TRACE(changeOne ? "one file rewritten" : "all match");
        if (changeOne)
            writeFile(out / "Installer/setup.exe", "short");
        RecordingProgress progress;
        zip.SetEventCallback(&progress);
        ASSERT_TRUE(extractChanged());
        zip.SetEventCallback(nullptr);
        std::vector<int> percents;
        for (const std::string& e : progress.events)
            if (e.rfind("percentDone ", 0) == 0)
                percents.push_back(std::stoi(e.substr(12)));
        ASSERT_FALSE(percents.empty());
        EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
        EXPECT_GE(percents.front(), 1);
        EXPECT_EQ(percents.back(), 100);
        // The matching files' bytes came first: most of the payload was checked
        // before the one small changed file was written.
        if (changeOne) {
            EXPECT_LT(percents.front(), 100);
        }
    }
}

// With a file named, only the entries written to it count: other files that
// differ are left as they are.
TEST_F(ExtractChangedTest, OneNamedFileAlone) {
    ASSERT_TRUE(open(payload));
    ASSERT_TRUE(extract());
    writeFile(out / "Installer/setup.exe", "planted");
    writeFile(out / "Installer/orvsuite.xml", "changed by hand");
    ageFiles();
    const fs::path setup = out / "Installer" / "setup.exe";
    ASSERT_TRUE(extractChanged(&setup)) << zip.LastErrorXml();
    EXPECT_EQ(rewrittenFiles(), std::vector<std::string>{"Installer/setup.exe"});
    EXPECT_EQ(read(setup), "MZ the installer");
    EXPECT_EQ(read(out / "Installer/orvsuite.xml"), "changed by hand");

    // Already right: nothing at all is written.
    ageFiles();
    ASSERT_TRUE(extractChanged(&setup));
    EXPECT_EQ(rewritten, 0u);
    EXPECT_TRUE(rewrittenFiles().empty());
}

// Two entries of one name: the file must end up as the later one, so matching
// the earlier one is no match.
TEST_F(ExtractChangedTest, ADuplicateNameEndsAsItsLastEntry) {
    ASSERT_TRUE(
        open({Entry{.name = "a.txt", .data = "first"}, Entry{.name = "a.txt", .data = "second"}}));
    writeFile(out / "a.txt", "first");
    ASSERT_TRUE(extractChanged()) << zip.LastErrorXml();
    EXPECT_EQ(read(out / "a.txt"), "second");
}

// A folder where a file belongs cannot be matched, and the rewrite then fails.
TEST_F(ExtractChangedTest, AFolderInTheWayFails) {
    ASSERT_TRUE(open(payload));
    ASSERT_TRUE(extract());
    fs::remove(out / "Installer/setup.exe");
    fs::create_directories(out / "Installer/setup.exe/inner");
    EXPECT_FALSE(extractChanged());
}

} // namespace
