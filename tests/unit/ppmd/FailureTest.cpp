// Decoding stops with a reason, never runs on, and never succeeds on damaged input: data cut
// short, a code outside every interval, more output than the entry's size, a failing output,
// an abort, a short header, parameters outside their ranges and memory that cannot be had.
#include "PpmdSupport.h"

#include "codecs/ppmd/PpmdEntry.h"
#include "codecs/ppmd/PpmdI1Platform.h"
#include "zip/base/stream/MemoryDataSource.h"
#include "zip/base/stream/ProgressEvent.h"
#include "zip/base/stream/ProgressMonitor.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

using namespace vexmar;

namespace {

// The order-16 cut-off entry of the fixture archive.
ZipEntry cutOffEntry() {
    const auto entries =
        zipEntries(readFile(std::string(PELLQUIN_TEST_DATA) + "/ppmd/ppmd_entries.zip"));
    for (const ZipEntry& e : entries)
        if (e.name == "mixed_o16.bin")
            return e;
    return {};
}

struct Outcome {
    bool hasError(const std::string& message) const {
        return std::find(errors.begin(), errors.end(), message) != errors.end();
    }

    bool ok;
    Bytes output;
    std::vector<std::string> errors;
};

Outcome decode(const Bytes& stored, uint64_t limit, uint64_t failAfter = UINT64_MAX,
               ProgressMonitor* monitor = nullptr) {
    Outcome run;
    MemoryDataSource source(stored.data(), stored.size());
    source.setProgressByBytes(true);
    VectorOutput out;
    out.capacity = failAfter;
    RecordingLog log;
    run.ok = ppmdFromSource(source, out, limit, monitor, log, false);
    run.output = std::move(out.written);
    run.errors = log.errors;
    return run;
}

TEST(PpmdFailure, DataCutShortStopsAtTheEnd) {
    const ZipEntry e = cutOffEntry();
    ASSERT_FALSE(e.stored.empty());
    const size_t size = e.stored.size();
    for (size_t keep : {size_t{3}, size_t{6}, size / 2, size - 1}) {
        const Bytes cut(e.stored.begin(), e.stored.begin() + keep);
        const Outcome run = decode(cut, e.uncompressedSize);
        EXPECT_FALSE(run.ok) << keep;
        EXPECT_TRUE(run.hasError("The PPMd data ends before its end mark.")) << keep;
        EXPECT_LE(run.output.size(), e.uncompressedSize) << keep;
    }
}

TEST(PpmdFailure, CodeOutsideEveryInterval) {
    // Order 8, 1 MB, restart; the first code lies at the root context's total of 257.
    const Bytes stored = {0x07, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    const Outcome run = decode(stored, 100);
    EXPECT_FALSE(run.ok);
    EXPECT_TRUE(run.hasError("The PPMd data is corrupt."));
    EXPECT_TRUE(run.output.empty());
}

TEST(PpmdFailure, OutputBoundedByTheEntrySize) {
    const ZipEntry e = cutOffEntry();
    const Outcome run = decode(e.stored, e.uncompressedSize - 1);
    EXPECT_FALSE(run.ok);
    EXPECT_TRUE(run.hasError("The PPMd data decodes to more bytes than expected."));
    EXPECT_EQ(run.output.size(), e.uncompressedSize - 1);
}

TEST(PpmdFailure, FailedWriteStopsDecoding) {
    const ZipEntry e = cutOffEntry();
    const Outcome run = decode(e.stored, e.uncompressedSize, 10000);
    EXPECT_FALSE(run.ok);
    EXPECT_LE(run.output.size(), 10000u);
}

class AbortingSink : public ProgressEvent {
public:
    void percentDone(int32_t percent, bool* abort) override { *abort = percent >= 20; }
};

TEST(PpmdFailure, AbortFromTheMonitor) {
    const ZipEntry e = cutOffEntry();
    AbortingSink sink;
    ProgressMonitor monitor(&sink, 0, static_cast<int64_t>(e.stored.size()));
    const Outcome run = decode(e.stored, e.uncompressedSize, UINT64_MAX, &monitor);
    EXPECT_FALSE(run.ok);
    EXPECT_TRUE(run.hasError("Aborted by application callback."));
    EXPECT_LT(run.output.size(), e.uncompressedSize);
}

TEST(PpmdFailure, HeaderShorterThanTwoBytes) {
    for (const Bytes& stored : {Bytes{}, Bytes{0x07}}) {
        const Outcome run = decode(stored, 100);
        EXPECT_FALSE(run.ok);
        EXPECT_TRUE(run.hasError("Failed to get 1st two bytes of PPMD compressed data."));
    }
}

TEST(PpmdFailure, ParametersOutOfRange) {
    struct Case {
        unsigned restoration, order, megabytes;
        const char* error;
        const char* item;
    };
    const Case cases[] = {
        {2, 8, 1, "Unsupported PPMd model restoration method.", "modelRestorationMethod"},
        {15, 8, 1, "Unsupported PPMd model restoration method.", "modelRestorationMethod"},
        {0, 0, 1, "Invalid PPMd model order.", "maxModelOrder"},
        {0, 17, 1, "Invalid PPMd model order.", "maxModelOrder"},
        {0, 8, 0, "Invalid PPMd sub-allocator size.", "subAllocatorSize"},
        {0, 8, 257, "Invalid PPMd sub-allocator size.", "subAllocatorSize"},
    };
    const ZipEntry e = cutOffEntry();
    for (const Case& c : cases) {
        MemoryDataSource source(e.stored.data() + 2, e.stored.size() - 2);
        VectorOutput out;
        RecordingLog log;
        PpmdI1Platform ppmd;
        EXPECT_FALSE(ppmd.decode(c.restoration, c.order, c.megabytes, source, out, nullptr, log));
        EXPECT_TRUE(log.hasError(c.error)) << c.error;
        EXPECT_EQ(log.data.count(c.item), 1u) << c.item;
        EXPECT_TRUE(out.written.empty());
    }
}

#if defined(__SANITIZE_ADDRESS__)
#define PPMD_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PPMD_UNDER_ASAN 1
#endif
#endif

#if !defined(_WIN32) && !defined(PPMD_UNDER_ASAN)
// With the address space capped below 256 MB more than the process has, the largest
// sub-allocator cannot be had: the decode fails with its message.
void decodeWithCappedAddressSpace(const Bytes& stored) {
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t cap = static_cast<rlim_t>(pages) * 4096 + (64u << 20);
    const rlimit limit{cap, cap};
    setrlimit(RLIMIT_AS, &limit);
    const Outcome run = decode(stored, 1000000);
    std::exit(!run.ok && run.hasError("Not enough memory for the PPMd model.") ? 0 : 1);
}

TEST(PpmdFailureDeathTest, MemoryThatCannotBeHad) {
    const Bytes stored = {0xFF, 0x0F, 0x00, 0x00, 0x00, 0x00}; // order 16, 256 MB, restart
    EXPECT_EXIT(decodeWithCappedAddressSpace(stored), testing::ExitedWithCode(0), "");
}
#endif

} // namespace
