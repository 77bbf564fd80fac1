// The word-at-a-time back-reference copy against the byte-by-byte definition: every short
// distance (the repeated patterns) and the word and piece widths around them, at lengths that
// end inside, at and past a word.
#include "codecs/inflate/MatchCopy.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vexmar;

namespace {

TEST(MatchCopy, SameAsByteByByteForEveryShortDistance) {
    constexpr uint32_t kHistory = 64;
    for (uint32_t distance = 1; distance <= 40; ++distance)
        for (uint32_t length = 1; length <= 300; ++length) {
            std::vector<uint8_t> buffer(kHistory + length + kMatchCopyOverrun, 0xEE);
            for (uint32_t i = 0; i < kHistory; ++i)
                buffer[i] = static_cast<uint8_t>(i * 37 + 11);
            std::vector<uint8_t> expected = buffer;
            for (uint32_t i = kHistory; i < kHistory + length; ++i)
                expected[i] = expected[i - distance];
            copyMatch(buffer.data() + kHistory, distance, length);
            ASSERT_TRUE(std::equal(expected.begin(), expected.begin() + kHistory + length,
                                   buffer.begin()))
                << "distance " << distance << ", length " << length;
        }
}

} // namespace
