// Windows paths on a POSIX file system: backslashes become "/", and a path in
// drive form goes through the drive table, as under Wine: Z: is the root, and no
// other letter names a drive (such paths stay relative names, as before).
#pragma once

#include <string>

namespace os {

// The POSIX form of a UTF-8 path.
std::string nativePath(const char* path);

// The directory a drive letter names, or null when it names none.
const char* driveRoot(char letter);

// The Windows form of an absolute POSIX path ("/tmp" gives "Z:\tmp").
std::string windowsFormOf(const std::string& posixPath);

} // namespace os
