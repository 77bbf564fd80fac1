// The banner's run-length decoding: every form of the RLE8 data, and damaged
// data that must be refused without writing outside the picture.
#include "app/BannerRle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Pellquin::ExpandRle8;

namespace {

constexpr uint32_t kWidth = 5;
constexpr uint32_t kHeight = 3;
constexpr size_t kStride = 8; // rows padded as DIBs are, with guard bytes after each row
constexpr uint8_t kUntouched = 0xEE;

struct Case {
    const char* what;
    std::vector<uint8_t> data;
    // The rows in storage order (bottom-up), `.` for a pixel the data leaves alone;
    // empty when the data must be refused.
    std::vector<std::string> rows;
};

std::vector<std::string> render(const std::vector<uint8_t>& pixels) {
    std::vector<std::string> rows;
    for (uint32_t y = 0; y < kHeight; ++y) {
        std::string row;
        for (uint32_t x = 0; x < kWidth; ++x) {
            uint8_t p = pixels[y * kStride + x];
            row += p == kUntouched ? '.' : char('0' + p);
        }
        rows.push_back(row);
    }
    return rows;
}

const Case kCases[] = {
    {"runs, end of line, end of bitmap",
     {2, 1, 3, 2, 0, 0, 5, 3, 0, 0, 1, 4, 0, 1},
     {"11222", "33333", "4...."}},
    {"literals, odd ones padded",
     {0, 3, 1, 2, 3, 0, 2, 4, 0, 0, 0, 4, 5, 6, 7, 8, 0, 0, 0, 1},
     {"12344", "5678.", "....."}},
    {"a delta skips right and up", {1, 1, 0, 2, 2, 1, 1, 2, 0, 1}, {"1....", "...2.", "....."}},
    {"a delta to the top edge, then the end",
     {1, 1, 0, 0, 0, 2, 0, 2, 0, 1},
     {"1....", ".....", "....."}},
    {"end of bitmap early leaves the rest", {1, 7, 0, 1}, {"7....", ".....", "....."}},
    {"a run past the row's end", {6, 1, 0, 1}, {}},
    {"a row without its end-of-line mark", {5, 1, 1, 2, 0, 1}, {}},
    {"a literal past the row's end", {2, 1, 0, 4, 1, 2, 3, 4, 0, 1}, {}},
    {"a literal cut short", {0, 3, 1, 2}, {}},
    {"the padding of a literal cut short", {0, 3, 1, 2, 3}, {}},
    {"a delta past the right edge", {0, 2, 6, 0, 0, 1}, {}},
    {"a delta past the top", {0, 2, 0, 4, 0, 1}, {}},
    {"a delta into the top edge away from its start", {0, 2, 1, 3, 0, 1}, {}},
    {"a delta cut short", {0, 2, 1}, {}},
    {"a run above the last row", {0, 0, 0, 0, 0, 0, 1, 1, 0, 1}, {}},
    {"an end of line above the last row", {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, {}},
    {"no end-of-bitmap mark", {5, 1, 0, 0}, {}},
    {"an odd byte at the end", {5, 1, 0}, {}},
    {"nothing at all", {}, {}},
};

TEST(BannerRle, ExpandsEveryFormAndRefusesDamagedData) {
    for (const Case& c : kCases) {
        std::vector<uint8_t> pixels(kStride * kHeight, kUntouched);
        const bool expanded =
            ExpandRle8(c.data.data(), c.data.size(), kWidth, kHeight, pixels.data(), kStride);
        EXPECT_EQ(expanded, !c.rows.empty()) << c.what;
        if (expanded) {
            EXPECT_EQ(render(pixels), c.rows) << c.what;
        }
        // Nothing lands in a row's padding, whatever the data.
        for (uint32_t y = 0; y < kHeight; ++y)
            for (size_t x = kWidth; x < kStride; ++x)
                EXPECT_EQ(pixels[y * kStride + x], kUntouched) << c.what;
    }
}

TEST(BannerRle, ARowStrideShorterThanTheWidthIsRefused) {
    const uint8_t data[] = {1, 1, 0, 1};
    uint8_t pixels[4] = {};
    EXPECT_FALSE(ExpandRle8(data, sizeof data, 5, 1, pixels, 4));
}

} // namespace
