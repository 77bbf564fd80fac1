// Data that 7-Zip compresses with PPMd comes back exactly, for model orders 2 to 16, several
// sub-allocator sizes and both restoration methods. Small sub-allocators make the model run
// out of memory many times, so restart and cut-off are both exercised.
#include "PpmdSupport.h"

#include "codecs/ppmd/PpmdEntry.h"
#include "zip/base/stream/MemoryDataSource.h"

#include <gtest/gtest.h>

using namespace vexmar;

namespace {

struct RoundTrip {
    Sample kind;
    size_t size;
    PpmdParams params;
};

std::string describe(const RoundTrip& t) {
    return "kind " + std::to_string(static_cast<int>(t.kind)) + ", " + std::to_string(t.size) +
           " bytes, o=" + std::to_string(t.params.order) +
           " mem=" + std::to_string(t.params.megabytes) +
           " restore=" + std::to_string(t.params.restoration);
}

bool decodeEntry(const ZipEntry& entry, Bytes& output, RecordingLog& log) {
    MemoryDataSource source(entry.stored.data(), entry.stored.size());
    VectorOutput out;
    const bool ok = ppmdFromSource(source, out, entry.uncompressedSize, nullptr, log, true);
    output = std::move(out.written);
    return ok;
}

TEST(PpmdRoundTrip, SevenZipArchivesDecodeExactly) {
    if (!sevenZipAvailable())
        GTEST_SKIP() << "7zz is not installed";
    const RoundTrip cases[] = {
        {Sample::kText, 400000, {2, 1, 0}},    {Sample::kMixed, 3000000, {3, 1, 0}},
        {Sample::kBinary, 400000, {4, 4, 0}},  {Sample::kMixed, 500000, {6, 1, 0}},
        {Sample::kMixed, 500000, {7, 1, 1}},   {Sample::kText, 500000, {8, 1, 1}},
        {Sample::kMixed, 500000, {12, 1, 1}},  {Sample::kMixed, 500000, {16, 1, 1}},
        {Sample::kMixed, 500000, {16, 16, 1}}, {Sample::kMixed, 500000, {10, 2, 0}},
    };
    uint32_t seed = 1;
    for (const RoundTrip& t : cases) {
        const Bytes data = sampleData(t.kind, t.size, seed++);
        const auto entry = sevenZipPpmd(data, t.params);
        ASSERT_TRUE(entry) << describe(t);
        Bytes decoded;
        RecordingLog log;
        EXPECT_TRUE(decodeEntry(*entry, decoded, log)) << describe(t);
        EXPECT_TRUE(decoded == data) << describe(t);
        EXPECT_EQ(log.data["maxModelOrder"], std::to_string(t.params.order));
        EXPECT_EQ(log.data["modelRestorationMethod"], std::to_string(t.params.restoration));
    }
}

} // namespace
