// Reproducible pseudo-random bytes for the checksum tests.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

inline std::vector<uint8_t> randomBytes(size_t n, uint32_t seed) {
    std::mt19937 gen(seed);
    std::vector<uint8_t> bytes(n);
    for (auto& b : bytes)
        b = static_cast<uint8_t>(gen());
    return bytes;
}
