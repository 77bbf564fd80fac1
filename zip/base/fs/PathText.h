// Path text as the file-system layer works on it: UTF-8 with "\" separators.
#pragma once

#include <cstdint>
#include <string>

namespace vexmar {

class XString;

namespace FileSys {

// The path's UTF-8 text with every "/" turned into "\".
std::string backslashed(const XString& path);
std::string backslashed(std::string text);
// Without spaces, tabs, CR and LF at either end.
std::string trimmed(const std::string& text);
// The system's text for an error code (the number when there is none).
std::string osErrorText(uint32_t code);

} // namespace FileSys

} // namespace vexmar
