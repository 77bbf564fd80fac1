// The exact decimal digits of a binary floating-point value, and their rounding
// half to even at any position: what printf's %f, %e and %g are made of.
#pragma once

#include <cstdint>
#include <string>

namespace Quillkit {

// value = 0.digits × 10^point; `digits` starts and ends with a nonzero digit, and is
// empty for zero.
struct DecimalDigits {
    std::string digits;
    int point = 0;

    // The digit for 10^(point - 1 - index); '0' outside the stored ones.
    char at(int index) const {
        return index >= 0 && index < int(digits.size()) ? digits[size_t(index)] : '0';
    }
};

// mantissa × 2^exponent, exactly.
DecimalDigits ExactDecimal(uint64_t mantissa, int exponent);

// Keeps the first `count` digits (count may be 0 or less: the value then rounds to
// zero or to one unit of the place just before the first digit), rounding half to
// even. A carry out of the first digit raises `point`.
void RoundDigits(DecimalDigits& value, int count);

} // namespace Quillkit
