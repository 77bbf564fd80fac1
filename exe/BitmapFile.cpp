#include "exe/BitmapFile.h"

#include "exe/PeFormat.h"

namespace vexmar {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kRgb = 0;
constexpr uint32_t kBitFields = 3;

bool knownDepth(uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

} // namespace

std::vector<uint8_t> readBitmapFile(const std::vector<uint8_t>& file, uint32_t maxSide,
                                    BitmapFacts& facts, std::string& problem) {
    problem.clear();
    const auto refuse = [&](const char* why) {
        problem = why;
        return std::vector<uint8_t>();
    };
    if (file.size() < kFileHeaderSize + 4 || file[0] != 'B' || file[1] != 'M')
        return refuse("not a BMP file");
    const uint8_t* dib = file.data() + kFileHeaderSize;
    const uint64_t dibSize = file.size() - kFileHeaderSize;
    const uint32_t headerSize = le32(dib);
    if (headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize)
        return refuse("the BMP file has a header of an unknown kind");
    if (headerSize > dibSize)
        return refuse("the BMP file is cut short");
    int64_t width = 0;
    int64_t height = 0;
    uint16_t planes = 0;
    uint32_t compression = kRgb;
    uint32_t colours = 0;
    uint32_t colourSize = 4;
    if (headerSize == kCoreHeaderSize) {
        width = le16(dib + 4);
        height = le16(dib + 6);
        planes = le16(dib + 8);
        facts.bitCount = le16(dib + 10);
        colourSize = 3;
    } else {
        width = int32_t(le32(dib + 4));
        height = int32_t(le32(dib + 8));
        planes = le16(dib + 12);
        facts.bitCount = le16(dib + 14);
        compression = le32(dib + 16);
        colours = le32(dib + 32);
    }
    if (height < 0)
        height = -height; // stored top-down
    if (width <= 0 || height <= 0 || width > maxSide || height > maxSide)
        return refuse("the BMP image's size is 0 or too large for a banner");
    if (planes != 1 || !knownDepth(facts.bitCount))
        return refuse("the BMP image has a colour depth Windows cannot show");
    const bool fields = compression == kBitFields && (facts.bitCount == 16 || facts.bitCount == 32);
    if (compression != kRgb && !fields)
        return refuse("the BMP image is compressed in a way Windows cannot show");
    if (facts.bitCount <= 8 && (colours == 0 || colours > (1u << facts.bitCount)))
        colours = 1u << facts.bitCount;
    if (facts.bitCount > 8 && colours > 256)
        return refuse("the BMP file's colour table is too large");
    // Bit fields follow a plain 40-byte header as three masks.
    const uint64_t masks = fields && headerSize == kInfoHeaderSize ? 12 : 0;
    const uint64_t tableEnd = headerSize + masks + uint64_t(colours) * colourSize;
    const uint64_t pixelsAt = le32(file.data() + 10);
    const uint64_t stride = (uint64_t(width) * facts.bitCount + 31) / 32 * 4;
    if (tableEnd > dibSize || pixelsAt < kFileHeaderSize + tableEnd ||
        pixelsAt + stride * uint64_t(height) > file.size())
        return refuse("the BMP file is cut short");
    // In a resource the pixels follow the colour table at once: a gap that the
    // file header skips over is left out.
    facts.width = uint32_t(width);
    facts.height = uint32_t(height);
    std::vector<uint8_t> data(dib, dib + tableEnd);
    data.insert(data.end(), file.begin() + long(pixelsAt),
                file.begin() + long(pixelsAt + stride * uint64_t(height)));
    return data;
}

} // namespace vexmar
