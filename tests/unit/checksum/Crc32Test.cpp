#include "zip/base/checksum/CrcKernels.h"
#include "zip/base/checksum/CrcTables.h"
#include "zip/base/checksum/ZipCRC.h"
#include "tests/unit/checksum/ChecksumData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <string>

using namespace vexmar;

namespace {

struct KnownCrc {
    const char* text;
    uint32_t crc;
};

const KnownCrc kKnownCrcs[] = {
    {"", 0x00000000},
    {"a", 0xE8B7BE43},
    {"abc", 0x352441C2},
    {"123456789", 0xCBF43926},
    {"The quick brown fox jumps over the lazy dog", 0x414FA339},
};

TEST(Crc32, KnownValuesOneShotAndEngine) {
    for (const auto& k : kKnownCrcs) {
        SCOPED_TRACE(k.text);
        const size_t n = std::strlen(k.text);
        EXPECT_EQ(crc32Buffer(k.text, n), k.crc);
        ZipCRC engine;
        engine.update(k.text, n);
        EXPECT_EQ(engine.crc(), k.crc);
    }
}

TEST(Crc32, ByteTableIsTheReflectedTableOfEDB88320) {
    const auto& table = crcTables().slice[0];
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t v = n;
        for (int i = 0; i < 8; ++i)
            v = (v & 1) ? (v >> 1) ^ 0xEDB88320u : v >> 1;
        ASSERT_EQ(table[n], v) << "entry " << n;
    }
}

TEST(Crc32, FreshAndResetEngineReportZero) {
    ZipCRC engine;
    EXPECT_EQ(engine.crc(), 0u);
    engine.update("abc", 3);
    ASSERT_NE(engine.crc(), 0u);
    engine.reset();
    EXPECT_EQ(engine.crc(), 0u);
}

TEST(Crc32, NullDataChangesNothing) {
    ZipCRC engine;
    engine.update("abc", 3);
    engine.update(nullptr, 100);
    EXPECT_EQ(engine.crc(), 0x352441C2u);
    bool isText = false;
    EXPECT_EQ(crc32Buffer(nullptr, 100, &isText), 0u);
    EXPECT_FALSE(isText);
}

// Every fast loop against the byte-at-a-time reference.
struct CrcLoopCase {
    const char* name;
    uint32_t (*loop)(uint32_t, const uint8_t*, size_t);
    bool (*available)();
};

void PrintTo(const CrcLoopCase& c, std::ostream* os) {
    *os << c.name;
}

bool always() {
    return true;
}

const CrcLoopCase kLoops[] = {
    {"Slice16", crc32Slice16, always},
#if defined(VEXMAR_CRC32_CLMUL)
    {"Clmul", crc32Clmul, cpuHasClmul},
#endif
    {"Dispatch", crc32Update, always},
};

class CrcLoop : public testing::TestWithParam<CrcLoopCase> {
protected:
    void SetUp() override {
        if (!GetParam().available())
            GTEST_SKIP() << "this processor lacks the instructions";
    }
};

TEST_P(CrcLoop, MatchesReferenceForEveryShortLengthAndAlignment) {
    const auto bytes = randomBytes(400, 1);
    uint32_t start = 0xFFFFFFFF;
    for (size_t offset = 0; offset < 16; ++offset) {
        for (size_t length = 0; length <= 300; ++length) {
            const uint8_t* p = bytes.data() + offset;
            ASSERT_EQ(GetParam().loop(start, p, length), crc32Bytewise(start, p, length))
                << "offset " << offset << ", length " << length;
            start = start * 2654435761u + 12345; // vary the running value too
        }
    }
}

TEST_P(CrcLoop, MatchesReferenceOnLargeBuffers) {
    const auto bytes = randomBytes((1 << 20) + 64, 2);
    for (size_t length : {size_t(4096), size_t(65536 + 13), size_t(1 << 20) + 7}) {
        for (size_t offset : {0, 3, 8}) {
            const uint8_t* p = bytes.data() + offset;
            ASSERT_EQ(GetParam().loop(0xFFFFFFFF, p, length), crc32Bytewise(0xFFFFFFFF, p, length))
                << "offset " << offset << ", length " << length;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Crc32, CrcLoop, testing::ValuesIn(kLoops),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Crc32, UpdatesSplitAtRandomPointsEqualTheOneShot) {
    const auto bytes = randomBytes(200000, 3);
    const uint32_t whole = crc32Buffer(bytes.data(), bytes.size());
    std::mt19937 gen(4);
    for (int trial = 0; trial < 20; ++trial) {
        ZipCRC engine;
        size_t pos = 0;
        while (pos < bytes.size()) {
            // Mostly short pieces, now and then a long one.
            size_t piece = gen() % 8 == 0 ? gen() % 50000 : gen() % 200;
            piece = std::min(piece, bytes.size() - pos);
            engine.update(bytes.data() + pos, piece);
            pos += piece;
        }
        ASSERT_EQ(engine.crc(), whole) << "trial " << trial;
    }
}

struct VerdictCase {
    std::string bytes;
    bool isText;
};

// Bytes 7 to 127 count as text, 0 to 6 and 128 to 255 as binary; the buffer is binary when a
// quarter of the text bytes, rounded down, is fewer than the binary ones.
const VerdictCase kVerdicts[] = {
    {"Hello, world.\r\n", true},
    {std::string("\x07\x07\x07\x07\x06", 5), true}, // 4 / 4 = 1, not below 1
    {std::string("\x07\x07\x07\x06", 4), false},    // 3 / 4 = 0 < 1
    {std::string("\x7f\x7f\x7f\x7f\x80", 5), true}, // 127 is text, 128 binary
    {std::string("\x7f\x7f\x7f\x80", 4), false},
    {std::string("abcdefgh\0\0", 10), true}, // 8 / 4 = 2, not below 2
    {std::string("abcdefg\0\0", 9), false},  // 7 / 4 = 1 < 2
    {std::string("\x01", 1), false},
    {"x", true},
};

TEST(Crc32, TextVerdict) {
    for (const auto& v : kVerdicts) {
        SCOPED_TRACE(testing::PrintToString(v.bytes));
        for (bool before : {false, true}) {
            bool isText = before;
            const uint32_t crc = crc32Buffer(v.bytes.data(), v.bytes.size(), &isText);
            EXPECT_EQ(isText, v.isText);
            EXPECT_EQ(crc, crc32Buffer(v.bytes.data(), v.bytes.size()));
        }
    }
}

TEST(Crc32, EmptyBufferLeavesVerdictUnset) {
    for (bool before : {false, true}) {
        bool isText = before;
        EXPECT_EQ(crc32Buffer("abc", 0, &isText), 0u);
        EXPECT_EQ(isText, before);
    }
}

} // namespace
