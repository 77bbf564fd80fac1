// Reading and editing the version resource (VERSIONINFO) of an executable: the
// texts of its string tables (CompanyName, ProductName, FileVersion and the
// like) and the version numbers of its fixed part.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vexmar {

class ExeImage;
class LogBase;

using VersionStrings = std::vector<std::pair<std::u16string, std::u16string>>;

// The key and value pairs of the first string table in the order it holds them;
// empty when the image has no version resource or it is malformed.
VersionStrings readVersionStrings(const ExeImage& image);

// Sets each key of `values` in every string table of every language's version
// resource (a key a table lacks is added at its end), and, when `numbers` is
// given, the file and product versions of the fixed part. False when the image
// has no version resource or one that cannot be read.
bool editVersionInfo(ExeImage& image, const VersionStrings& values,
                     const std::array<uint16_t, 4>* numbers, LogBase& log);

} // namespace vexmar
