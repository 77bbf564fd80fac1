#include "os/posix/DriveTable.h"

namespace os {

const char* driveRoot(char letter) {
    return letter == 'Z' || letter == 'z' ? "/" : nullptr;
}

std::string nativePath(const char* path) {
    std::string native(path);
    for (char& c : native)
        if (c == '\\')
            c = '/';
    if (native.size() >= 2 && native[1] == ':' && (native.size() == 2 || native[2] == '/')) {
        if (const char* root = driveRoot(native[0])) {
            const std::string rest = native.size() > 3 ? native.substr(3) : std::string();
            native = std::string(root) + rest;
        }
    }
    return native;
}

std::string windowsFormOf(const std::string& posixPath) {
    std::string form = "Z:" + posixPath;
    for (char& c : form)
        if (c == '/')
            c = '\\';
    return form;
}

} // namespace os
