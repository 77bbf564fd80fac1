// Opening C stdio files by UTF-8 path.
#pragma once

#include <cstdio>

namespace os {

// fopen with a UTF-8 path (Windows takes it as UTF-16). Null on failure.
std::FILE* fopenUtf8(const char* path, const char* mode);

} // namespace os
