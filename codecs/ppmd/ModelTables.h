// Constant tables of the PPMd variant I model.
#pragma once

#include <array>
#include <cstdint>

namespace vexmar {

namespace ppmd {

// Binary-context and SEE classes by symbol count (or by count of a binary context's symbol):
// 0 to 4 one by one, then classes that widen by one each time.
constexpr std::array<uint8_t, 260> makeCountClasses() {
    std::array<uint8_t, 260> classes{};
    unsigned i = 0;
    for (; i < 5; ++i)
        classes[i] = static_cast<uint8_t>(i);
    for (unsigned m = 5, left = 1; i < 260; ++i) {
        classes[i] = static_cast<uint8_t>(m);
        if (--left == 0)
            left = ++m - 4;
    }
    return classes;
}

// A binary context's column group by the symbol count of its suffix: 1, 2, 3 to 11, 12 and up.
constexpr std::array<uint8_t, 256> makeSuffixClasses() {
    std::array<uint8_t, 256> classes{};
    for (unsigned i = 0; i < 256; ++i)
        classes[i] = static_cast<uint8_t>(i == 0 ? 0 : i == 1 ? 2 : i < 11 ? 4 : 6);
    return classes;
}

inline constexpr std::array<uint8_t, 260> kCountClass = makeCountClasses();
inline constexpr std::array<uint8_t, 256> kSuffixClass = makeSuffixClasses();

// Initial escape count of a context that grows from one symbol to two, by the probability of
// the binary context it escaped from.
inline constexpr uint8_t kExpEscape[16] = {25, 14, 9, 7, 5, 5, 4, 4, 4, 3, 3, 3, 2, 2, 2, 2};

// Initial escape estimates of binary contexts, by column within a group of eight.
inline constexpr uint16_t kInitBinEsc[8] = {0x3CDD, 0x1F3F, 0x59BF, 0x48F3,
                                            0x64A1, 0x5ABC, 0x6632, 0x6051};

// Probabilities of binary contexts are scaled to 14 bits and adapt with a period of 2^7.
constexpr unsigned kBinScale = 1 << 14;
constexpr unsigned kPeriodBits = 7;

constexpr unsigned binaryMean(unsigned prob) {
    return (prob + (1 << (kPeriodBits - 2))) >> kPeriodBits;
}

} // namespace ppmd

} // namespace vexmar
