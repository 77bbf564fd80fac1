// Reading the version resource (VERSIONINFO) of an executable: the texts of its
// first string table (CompanyName, ProductName, FileVersion and the like).
#pragma once

#include <string>
#include <utility>
#include <vector>

class ExeImage;

using VersionStrings = std::vector<std::pair<std::u16string, std::u16string>>;

// The key and value pairs in the order the resource holds them; empty when the
// image has no version resource or it is malformed.
VersionStrings readVersionStrings(const ExeImage& image);
