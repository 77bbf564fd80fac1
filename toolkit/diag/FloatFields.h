// A binary floating-point value taken apart: its sign, its kind, and its finite
// value as an integer times a power of two.
#pragma once

#include <cstdint>

namespace Quillkit {

struct FloatFields {
    bool negative = false;
    bool infinite = false;
    bool nan = false;
    uint64_t mantissa = 0; // value = mantissa × 2^exponent
    int exponent = 0;
    // The stored fraction bits below the leading one (52 for a double, 63 for the
    // x87 format); %a shows a whole hex digit before the point in the latter.
    int fractionBits = 52;
};

FloatFields SplitFloat(double value);
FloatFields SplitFloat(long double value);

} // namespace Quillkit
