// The entry's guard in front of the real output: bytes decoded in the target's own room pass
// the same size check and CRC-32 as written ones.
#include "zip/extract/CheckedOutput.h"

#include "codecs/inflate/Inflate.h"
#include "tests/support/VectorOutput.h"
#include "zip/base/LogNull.h"
#include "zip/base/checksum/ZipCRC.h"
#include "zip/base/stream/MemoryDataSource.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vexmar;

namespace {

// One final stored block: enough to drive the decoder through the output.
std::vector<uint8_t> storedStream(const std::vector<uint8_t>& data) {
    const auto length = static_cast<uint16_t>(data.size());
    std::vector<uint8_t> out = {0x01, uint8_t(length), uint8_t(length >> 8), uint8_t(~length),
                                uint8_t(~length >> 8)};
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

TEST(CheckedOutput, PlacedBytesAreCheckedLikeWrittenOnes) {
    std::vector<uint8_t> data(50000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>((i * 7) ^ (i >> 5));
    const std::vector<uint8_t> stream = storedStream(data);
    vexmar::ZipCRC expected;
    expected.update(data.data(), data.size());

    // An entry that declares its size, and one that declares less than its data holds.
    for (uint64_t declared : {uint64_t(data.size()), uint64_t(data.size() - 1)}) {
        for (bool room : {false, true}) {
            VectorOutput target;
            target.offersRoom = room;
            CheckedOutput checked(target, declared);
            MemoryDataSource source(stream.data(), stream.size());
            LogNull log;
            const bool ok = inflateFromSource(false, source, checked, false, nullptr, log,
                                              data.size());
            if (declared < data.size()) {
                EXPECT_FALSE(ok) << room;
                EXPECT_LE(target.written.size(), declared);
                continue;
            }
            ASSERT_TRUE(ok) << room;
            EXPECT_EQ(target.placedWrites > 0, room);
            EXPECT_EQ(target.written, data);
            EXPECT_EQ(checked.bytesPassed(), data.size());
            EXPECT_EQ(checked.crc(), expected.crc());
            EXPECT_TRUE(target.guardIntact());
        }
    }
}

} // namespace
