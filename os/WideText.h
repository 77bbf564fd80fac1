// UTF-16 text as the toolkit keeps it: wchar_t on Windows, char16_t elsewhere
// (where wchar_t is 32 bits wide), with UTF-8 conversion for the POSIX side.
#pragma once

#include <cstddef>
#include <string>

namespace os {

#if defined(_WIN32)
using wchar = wchar_t;
#define OS_WTEXT(s) L##s
#else
using wchar = char16_t;
#define OS_WTEXT(s) u##s
#endif
static_assert(sizeof(wchar) == 2, "the toolkit's text is UTF-16");

using wstring = std::basic_string<wchar>;

// Number of units before the terminating NUL.
size_t wideLength(const wchar* text);

// Lone surrogates become U+FFFD.
std::string toUtf8(const wchar* text, size_t length);
inline std::string toUtf8(const wstring& text) {
    return toUtf8(text.data(), text.size());
}

// Malformed sequences become U+FFFD.
wstring fromUtf8(const char* text, size_t length);
inline wstring fromUtf8(const std::string& text) {
    return fromUtf8(text.data(), text.size());
}

} // namespace os
