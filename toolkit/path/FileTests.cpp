#include "toolkit/path/FileTests.h"

#include "os/Directory.h"
#include "os/File.h"

namespace Quillkit {

bool DirectoryExists(const WChar* path) {
    uint32_t attributes = 0;
    return path && os::wideFileAttributes(path, attributes) && (attributes & os::kAttrDirectory);
}

bool FileExists(const WChar* path) {
    uint32_t attributes = 0;
    return path && os::wideFileAttributes(path, attributes) && !(attributes & os::kAttrDirectory);
}

bool PathExists(const WChar* path) {
    uint32_t attributes = 0;
    return path && os::wideFileAttributes(path, attributes);
}

} // namespace Quillkit
