// An .ico file as the system's icon loader takes it, and putting its images into
// an executable as an icon group.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexmar {

class ExeImage;
class LogBase;

struct IconImage {
    uint8_t width = 0;  // 0 stands for 256
    uint8_t height = 0; // 0 stands for 256
    uint8_t colorCount = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    std::vector<uint8_t> data; // a DIB (header, colours, XOR and AND masks) or a PNG
};

// The images of an .ico file; empty `problem` when every one is sound. Refused:
// a file cut short, a header that is not an icon's, no images, an image outside
// the file or overlapping the directory, and an image that is neither a PNG nor a
// DIB of 1, 4, 8, 16, 24 or 32 bits whose size matches its entry.
std::vector<IconImage> readIconFile(const std::vector<uint8_t>& file, std::string& problem);

// Replaces icon group `groupId` (every language of it) by one group of `images`
// in the language of the group it replaces. The icons only the old group used
// are removed; the new ones take the lowest free icon ids.
bool replaceIconGroup(ExeImage& image, uint16_t groupId, const std::vector<IconImage>& images,
                      LogBase& log);

} // namespace vexmar
