// Fuzz targets whose code under test reads files: the input written to one.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <string>

inline void writeFile(const std::string& path, const void* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        std::abort();
    if (size)
        std::fwrite(data, 1, size, f);
    std::fclose(f);
}
