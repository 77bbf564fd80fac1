// Extracting and testing on several threads must look, to the application and on disk, exactly
// like doing it on one: the same files, the same events in the same order, the same failures.
#include <gtest/gtest.h>

#include "tests/unit/extract/ExtractFixture.h"

#include <algorithm>
#include <functional>
#include <map>
#include <thread>

#if !defined(_WIN32)
#include <csignal>
#include <sys/resource.h>
#endif

using namespace vexmar;

using testzip::Entry;

namespace {

// Adds an abort from fileUnzipped, and notes callbacks made on any thread but the caller's.
class StoppingProgress : public RecordingProgress {
public:
    int abortAtFile = -1; // answer abort to this fileUnzipped call (0-based)
    int fileCalls = 0;
    int foreignCalls = 0;
    std::thread::id caller = std::this_thread::get_id();

    void percentDone(int percent, bool* abort) override {
        note();
        RecordingProgress::percentDone(percent, abort);
    }
    void abortCheck(bool* abort) override {
        note();
        *abort = false;
    }
    void fileUnzipped(const os::wchar* name, int64_t c, int64_t s, bool d, bool* abort) override {
        note();
        RecordingProgress::fileUnzipped(name, c, s, d, abort);
        *abort = fileCalls++ == abortAtFile;
    }

private:
    void note() {
        if (std::this_thread::get_id() != caller)
            ++foreignCalls;
    }
};

// What one run left behind and showed.
struct Seen {
    bool ok = false;
    std::vector<std::string> events;
    std::map<std::string, std::string> files; // folders as "<folder>"
    std::string log;
};

std::map<std::string, std::string> tree(const fs::path& root) {
    std::map<std::string, std::string> files;
    if (!fs::exists(root))
        return files;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(item.path(), root).generic_string();
        if (item.is_directory()) {
            files[name] = "<folder>";
        } else {
            std::ifstream in(item.path(), std::ios::binary);
            std::ostringstream s;
            s << in.rdbuf();
            files[name] = s.str();
        }
    }
    return files;
}

std::string text(size_t size, int seed) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>('a' + (i * 7 + size_t(seed) * 13 + i / 97) % 26);
    return s;
}

// Folders, and files of many sizes in them, some stored and some deflated: enough entries that
// several workers are busy at once and each entry gives several progress counts.
std::vector<Entry> payload() {
    std::vector<Entry> entries;
    entries.push_back(Entry{.name = "docs/"});
    for (int i = 0; i < 30; ++i) {
        const std::string data = text(size_t(i % 7) * 9000 + size_t(i) * 311 + 5, i);
        Entry e{.name = "dir" + std::to_string(i % 4) + "/file" + std::to_string(i) + ".txt",
                .data = data};
        if (i % 3 == 1) {
            e.data = storedDeflate(data);
            e.method = 8;
            e.crc32 = testzip::crc32(data);
            e.uncompressedSize = uint32_t(data.size());
        }
        entries.push_back(e);
        if (i == 12)
            entries.push_back(Entry{.name = "docs/inner/"});
    }
    return entries;
}

struct Scenario {
    const char* what;
    std::function<void(std::vector<Entry>&)> damage;
    int abortAtFile = -1;
    int abortAtPercent = -1;
    bool filesThere = false; // some targets hold an older file before the run
    uint64_t fileSizeLimit = 0;
};

const Scenario kScenarios[] = {
    {"every entry good", nullptr},
    {"corrupt entries",
     [](std::vector<Entry>& e) {
         e[6].crc32 = 0x12345678;
         e[11].data[0] = 0; // a deflated entry whose stream ends early
         e[20].uncompressedSize = 3;
     }},
    {"abort from fileUnzipped", nullptr, 9},
    {"abort from percentDone", nullptr, -1, 25},
    {"abort from the first percentDone", nullptr, -1, 0},
    {"abort from the last fileUnzipped", nullptr, 30},
    {"abort over files already there", nullptr, 9, -1, true},
    {"files already there", nullptr, -1, -1, true},
};

class WorkersTest : public ExtractTest {
protected:
    Seen extractWith(uint32_t workers, const Scenario& s) {
        StoppingProgress progress;
        progress.abortAtFile = s.abortAtFile;
        progress.abortAtPercentCall = s.abortAtPercent;
        zip.SetEventCallback(&progress);
        zip.SetWorkerCount(workers);
        if (s.filesThere)
            for (const char* name : {"dir0/file0.txt", "dir2/file22.txt", "dir3/file27.txt"}) {
                fs::create_directories((out / name).parent_path());
                std::ofstream(out / name) << "older";
            }
        Seen seen;
        seen.ok = extract();
        seen.events = progress.events;
        seen.files = tree(out);
        fs::remove_all(out);
        seen.log = zip.LastErrorXml();
        EXPECT_EQ(progress.foreignCalls, 0) << "events came on a worker thread";
        zip.SetEventCallback(nullptr);
        return seen;
    }
    Seen testWith(uint32_t workers, const Scenario& s) {
        StoppingProgress progress;
        progress.abortAtPercentCall = s.abortAtPercent;
        zip.SetEventCallback(&progress);
        zip.SetWorkerCount(workers);
        Seen seen;
        seen.ok = zip.Test();
        seen.events = progress.events;
        seen.log = zip.LastErrorXml();
        EXPECT_EQ(progress.foreignCalls, 0) << "events came on a worker thread";
        zip.SetEventCallback(nullptr);
        return seen;
    }
    void openScenario(const Scenario& s) {
        std::vector<Entry> entries = payload();
        if (s.damage)
            s.damage(entries);
        ASSERT_TRUE(open(entries)) << s.what;
    }
};

void expectSame(const Seen& one, const Seen& many, const Scenario& s, uint32_t workers) {
    SCOPED_TRACE(std::string(s.what) + ", " + std::to_string(workers) + " workers");
    EXPECT_EQ(one.ok, many.ok);
    EXPECT_EQ(one.events, many.events);
    EXPECT_EQ(one.files, many.files);
    EXPECT_EQ(one.log, many.log);
}

TEST_F(WorkersTest, ExtractOnManyThreadsMatchesOne) {
    for (const Scenario& s : kScenarios) {
        openScenario(s);
        const Seen one = extractWith(1, s);
        for (uint32_t workers : {2u, 3u, 8u})
            expectSame(one, extractWith(workers, s), s, workers);
    }
}

TEST_F(WorkersTest, TestOnManyThreadsMatchesOne) {
    for (const Scenario& s : kScenarios) {
        if (s.abortAtFile >= 0)
            continue; // Test reports no files
        openScenario(s);
        const Seen one = testWith(1, s);
        for (uint32_t workers : {2u, 3u, 8u})
            expectSame(one, testWith(workers, s), s, workers);
    }
}

// What the scenarios are meant to show, so that a run that does nothing cannot pass them.
TEST_F(WorkersTest, ScenariosFailAndStopWhereIntended) {
    openScenario(kScenarios[0]);
    Seen good = extractWith(3, kScenarios[0]);
    EXPECT_TRUE(good.ok);
    EXPECT_EQ(good.files.size(), 30u + 4u + 2u);
    EXPECT_EQ(good.files["dir3/file7.txt"], text(size_t(0) * 9000 + 7 * 311 + 5, 7));
    EXPECT_EQ(std::count(good.events.begin(), good.events.end(), "percentDone 100"), 1);
    int last = -1;
    for (const std::string& e : good.events)
        if (e.rfind("percentDone ", 0) == 0) {
            const int percent = std::stoi(e.substr(12));
            EXPECT_GT(percent, last) << "progress went back or stood still";
            last = percent;
        }

    openScenario(kScenarios[1]);
    Seen corrupt = extractWith(3, kScenarios[1]);
    EXPECT_FALSE(corrupt.ok);
    EXPECT_EQ(corrupt.files.count("dir1/file5.txt"), 0u);
    EXPECT_EQ(corrupt.files.count("dir2/file10.txt"), 0u);
    EXPECT_EQ(corrupt.files.count("dir2/file18.txt"), 0u);
    EXPECT_EQ(corrupt.files.count("dir0/file4.txt"), 1u);
    EXPECT_NE(corrupt.log.find("Unzip failed"), std::string::npos);

    openScenario(kScenarios[2]);
    Seen stopped = extractWith(3, kScenarios[2]);
    // The folder, and nine files of which the last one's fileUnzipped asked to abort.
    EXPECT_TRUE(stopped.files.count("dir0/file8.txt"));
    EXPECT_FALSE(stopped.files.count("dir1/file9.txt"));
    EXPECT_FALSE(stopped.files.count("dir3/file29.txt"));

    // A file beyond the abort that was there before keeps its bytes.
    const Scenario& over = kScenarios[6];
    openScenario(over);
    Seen kept = extractWith(8, over);
    EXPECT_EQ(kept.files["dir3/file27.txt"], "older");
    EXPECT_NE(kept.files["dir0/file0.txt"], "older");

    openScenario(kScenarios[3]);
    Seen cut = extractWith(3, kScenarios[3]);
    EXPECT_FALSE(cut.ok);
    EXPECT_FALSE(cut.files.count("dir1/file29.txt"));
    EXPECT_NE(cut.log.find("Not all files extracted successfully."), std::string::npos);
}

TEST_F(WorkersTest, DefaultIsOnePerProcessorAtMostEight) {
    const uint32_t initial = zip.WorkerCount();
    EXPECT_GE(initial, 1u);
    EXPECT_LE(initial, 8u);
    zip.SetWorkerCount(5);
    EXPECT_EQ(zip.WorkerCount(), 5u);
    zip.SetWorkerCount(0);
    EXPECT_EQ(zip.WorkerCount(), initial);
}

#if !defined(_WIN32)
// A full disk, as the output layer meets it: writes beyond a size fail. The file-size limit
// makes the same entries fail whatever thread writes them.
TEST_F(WorkersTest, FullDiskFailsTheSameEntries) {
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const Scenario s{"disk full", nullptr};
    openScenario(s);
    struct rlimit limited = saved;
    limited.rlim_cur = 40000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    const Seen one = extractWith(1, s);
    const Seen many = extractWith(3, s);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(one.ok);
    EXPECT_EQ(one.files.count("dir1/file5.txt"), 0u); // 46,560 bytes
    EXPECT_EQ(one.files.count("dir0/file4.txt"), 1u); // 37,249 bytes
    expectSame(one, many, s, 3);
}
#endif

} // namespace
