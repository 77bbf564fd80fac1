// The decoder reads its source in blocks of 4000 bytes and hands the output bytes on in blocks
// of a little over 4000, with the rest at the end.
#include "PpmdSupport.h"

#include "codecs/ppmd/PpmdEntry.h"
#include "zip/base/stream/MemoryDataSource.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

class RecordingSource : public MemoryDataSource {
public:
    using MemoryDataSource::MemoryDataSource;
    bool readRaw(uint8_t* buffer, uint32_t max, uint32_t& count, bool& atEnd,
                 ProgressMonitor* monitor, LogBase& log) override {
        requests.push_back(max);
        return MemoryDataSource::readRaw(buffer, max, count, atEnd, monitor, log);
    }

    std::vector<uint32_t> requests;
};

TEST(PpmdAdapters, BlocksInAndOut) {
    const auto entries =
        zipEntries(readFile(std::string(PELLQUIN_TEST_DATA) + "/ppmd/ppmd_entries.zip"));
    ASSERT_FALSE(entries.empty());
    const ZipEntry& e = entries.front();
    RecordingSource source(e.stored.data(), e.stored.size());
    VectorOutput out;
    RecordingLog log;
    ASSERT_TRUE(ppmdFromSource(source, out, e.uncompressedSize, nullptr, log, false));

    // The header comes first, then one 4000-byte request per block of the data.
    ASSERT_GE(source.requests.size(), 2u);
    EXPECT_EQ(source.requests.size(), 1 + (e.stored.size() - 2 + 3999) / 4000);
    for (size_t i = 1; i < source.requests.size(); ++i)
        EXPECT_EQ(source.requests[i], 4000u);

    ASSERT_FALSE(out.writeSizes.empty());
    for (size_t i = 0; i + 1 < out.writeSizes.size(); ++i)
        EXPECT_EQ(out.writeSizes[i], 4096u);
    EXPECT_LE(out.writeSizes.back(), 4096u);
    EXPECT_EQ(out.written.size(), e.uncompressedSize);
}

} // namespace
