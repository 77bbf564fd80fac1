// The banner is kept run-length encoded (the BMP format's RLE8): its soft
// gradient packs to a quarter of the 8-bit size. A DIB section cannot be made
// from compressed bits, so the dialog expands them itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Pellquin {

// Expands RLE8 `data` into `height` rows of `stride` bytes each, `width` pixels
// wide, in the data's own row order (bottom-up). Pixels the data skips keep
// their value. False for damaged data: a run, literal or delta past the
// picture's edge, a row without its end-of-line mark, or data that ends before
// its end-of-bitmap mark.
[[nodiscard]] bool ExpandRle8(const uint8_t* data, size_t size, uint32_t width, uint32_t height,
                              uint8_t* rows, size_t stride);

} // namespace Pellquin
