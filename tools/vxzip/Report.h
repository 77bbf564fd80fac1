// How vxzip words what it tells the user.
#pragma once

#include <cstdint>
#include <string>

namespace vxzip {

// "vxzip: FILE: CAUSE" on stderr.
void reportFailure(const std::string& file, const std::string& cause);
// 5180 as "5,180".
std::string withThousands(uint64_t n);
// "1 entry", "5,180 entries".
std::string counted(uint64_t n, const char* one, const char* many);
// An entry's name (with "/") below a folder given by the user, as this system writes paths.
std::string pathBelow(const std::string& folder, const std::string& entryName);

} // namespace vxzip
