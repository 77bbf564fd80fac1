// Test input for the compression libraries: text that compresses well, then bytes
// that do not, long enough to span several bzip2 blocks of 100 kB.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline std::vector<unsigned char> sampleData() {
    std::vector<unsigned char> data;
    for (int line = 0; data.size() < 200000; ++line) {
        std::string text = "Installer\\docs\\page" + std::to_string(line) + ".html\r\n";
        data.insert(data.end(), text.begin(), text.end());
    }
    std::uint32_t state = 12345;
    for (int i = 0; i < 100000; ++i) {
        state = state * 1103515245u + 12345u;
        data.push_back(static_cast<unsigned char>(state >> 24));
    }
    return data;
}
