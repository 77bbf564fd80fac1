#include "zip/base/checksum/Adler32.h"
#include "tests/unit/checksum/ChecksumData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace vexmar;

namespace {

struct KnownAdler {
    const char* text;
    uint32_t adler;
};

const KnownAdler kKnownAdlers[] = {
    {"", 0x00000001},
    {"abc", 0x024D0127},
    {"Wikipedia", 0x11E60398},
    {"123456789", 0x091E01DE},
};

TEST(Adler32, KnownValues) {
    for (const auto& k : kKnownAdlers) {
        SCOPED_TRACE(k.text);
        const auto* p = reinterpret_cast<const uint8_t*>(k.text);
        EXPECT_EQ(adler32Update(kAdler32Start, p, std::strlen(k.text)), k.adler);
        EXPECT_EQ(adler32Bytewise(kAdler32Start, p, std::strlen(k.text)), k.adler);
    }
}

TEST(Adler32, MatchesReferenceForShortLengthsAndAnyPreviousValue) {
    const auto bytes = randomBytes(320, 6);
    std::mt19937 gen(7);
    for (size_t offset = 0; offset < 8; ++offset) {
        for (size_t length = 0; length <= 300; ++length) {
            const uint32_t previous = gen(); // halves above 65520 included
            const uint8_t* p = bytes.data() + offset;
            ASSERT_EQ(adler32Update(previous, p, length), adler32Bytewise(previous, p, length))
                << "offset " << offset << ", length " << length << ", previous " << previous;
        }
    }
}

// All-0xFF bytes from the largest sums push the deferred reduction to its limit.
TEST(Adler32, MatchesReferenceAroundTheReductionRun) {
    const std::vector<uint8_t> ones(100000, 0xFF);
    const auto noise = randomBytes(100000, 8);
    for (uint32_t previous : {kAdler32Start, 0xFFF0FFF0u, 0xFFFFFFFFu}) {
        for (size_t length : {5551, 5552, 5553, 11104, 11105, 100000}) {
            for (const auto* bytes : {&ones, &noise}) {
                ASSERT_EQ(adler32Update(previous, bytes->data(), length),
                          adler32Bytewise(previous, bytes->data(), length))
                    << "length " << length << ", previous " << previous;
            }
        }
    }
}

TEST(Adler32, UpdatesSplitAtRandomPointsEqualOneUpdate) {
    const auto bytes = randomBytes(100000, 9);
    const uint32_t whole = adler32Update(kAdler32Start, bytes.data(), bytes.size());
    std::mt19937 gen(10);
    for (int trial = 0; trial < 20; ++trial) {
        uint32_t adler = kAdler32Start;
        size_t pos = 0;
        while (pos < bytes.size()) {
            const size_t piece = std::min<size_t>(gen() % 9000, bytes.size() - pos);
            adler = adler32Update(adler, bytes.data() + pos, piece);
            pos += piece;
        }
        ASSERT_EQ(adler, whole) << "trial " << trial;
    }
}

TEST(Adler32, NullDataKeepsThePreviousValue) {
    EXPECT_EQ(adler32Update(0x024D0127, nullptr, 10), 0x024D0127u);
}

} // namespace
