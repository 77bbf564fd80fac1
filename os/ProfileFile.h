// A profile (INI) file reader and writer that behaves like Windows' profile
// functions for what the toolkit uses: files in UTF-16LE with the mark FF FE (or
// 8-bit text without it, read as UTF-8 and kept so), sections and keys found
// ignoring case, names and values trimmed of blanks, key enumeration in file
// order, values replaced in place, and a new section or key added at the end.
// It is the system's profile functions off Windows, and it builds everywhere so
// that both can be held against each other on Windows.
#pragma once

#include "os/WideText.h"

#include <cstdint>

namespace os {
namespace profile {

// The GetPrivateProfileStringW contract (see os/Profile.h).
uint32_t getString(const wchar* section, const wchar* key, const wchar* defaultValue, wchar* buffer,
                   uint32_t size, const wchar* file);

// The WritePrivateProfileStringW contract. `error` is a Windows code on failure.
[[nodiscard]] bool writeString(const wchar* section, const wchar* key, const wchar* value, const wchar* file,
                 uint32_t& error);

} // namespace profile
} // namespace os
