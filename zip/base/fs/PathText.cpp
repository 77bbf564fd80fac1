#include "zip/base/fs/PathText.h"

#include "os/SystemError.h"
#include "zip/base/XString.h"

namespace vexmar {

namespace FileSys {

std::string backslashed(std::string text) {
    for (char& c : text)
        if (c == '/')
            c = '\\';
    return text;
}

std::string backslashed(const XString& path) {
    return backslashed(std::string(path.getUtf8()));
}

std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string osErrorText(uint32_t code) {
    char text[512];
    os::errorText(code, text, sizeof text);
    if (text[0] == 0)
        return std::to_string(code);
    return text;
}

} // namespace FileSys

} // namespace vexmar
