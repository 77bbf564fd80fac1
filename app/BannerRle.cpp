#include "app/BannerRle.h"

#include <cstring>

namespace Pellquin {

namespace {

// The escapes that follow a zero count byte; larger values start a literal run.
constexpr uint8_t kEndOfLine = 0;
constexpr uint8_t kEndOfBitmap = 1;
constexpr uint8_t kDelta = 2;

} // namespace

bool ExpandRle8(const uint8_t* data, size_t size, uint32_t width, uint32_t height, uint8_t* rows,
                size_t stride) {
    if (stride < width)
        return false;
    size_t at = 0;
    uint32_t x = 0;
    uint32_t y = 0;
    while (size - at >= 2) {
        const uint8_t count = data[at];
        const uint8_t value = data[at + 1];
        at += 2;
        if (count != 0) {
            // A run of one colour.
            if (y >= height || count > width - x)
                return false;
            std::memset(rows + y * stride + x, value, count);
            x += count;
        } else if (value == kEndOfLine) {
            if (y >= height)
                return false;
            x = 0;
            ++y;
        } else if (value == kEndOfBitmap) {
            return true;
        } else if (value == kDelta) {
            if (size - at < 2)
                return false;
            const uint8_t right = data[at];
            const uint8_t up = data[at + 1];
            at += 2;
            if (right > width - x || up > height - y || (up == height - y && right != 0))
                return false;
            x += right;
            y += up;
        } else {
            // `value` pixels as they are, padded to an even length.
            const size_t padded = value + (value & 1u);
            if (y >= height || value > width - x || size - at < padded)
                return false;
            std::memcpy(rows + y * stride + x, data + at, value);
            x += value;
            at += padded;
        }
    }
    return false;
}

} // namespace Pellquin
