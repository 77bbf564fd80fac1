#include "toolkit/diag/FloatFields.h"

#include <cstring>
#include <limits>

namespace Quillkit {

FloatFields SplitFloat(double value) {
    static_assert(std::numeric_limits<double>::is_iec559, "IEEE 754 doubles");
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    FloatFields parts;
    parts.negative = bits >> 63;
    int biased = int(bits >> 52) & 0x7ff;
    uint64_t fraction = bits & ((uint64_t(1) << 52) - 1);
    if (biased == 0x7ff) {
        parts.infinite = fraction == 0;
        parts.nan = fraction != 0;
    } else if (biased == 0) {
        parts.mantissa = fraction;
        parts.exponent = -1074;
    } else {
        parts.mantissa = fraction | uint64_t(1) << 52;
        parts.exponent = biased - 1075;
    }
    return parts;
}

FloatFields SplitFloat(long double value) {
    if constexpr (std::numeric_limits<long double>::digits == 53) {
        return SplitFloat(double(value));
    } else {
        // The x87 extended format: 64 mantissa bits with an explicit leading one,
        // then 15 exponent bits and the sign.
        static_assert(std::numeric_limits<long double>::digits == 64, "x87 long double");
        unsigned char bytes[sizeof value];
        std::memcpy(bytes, &value, sizeof value);
        uint64_t mantissa;
        std::memcpy(&mantissa, bytes, sizeof mantissa);
        unsigned top = unsigned(bytes[8]) | unsigned(bytes[9]) << 8;
        FloatFields parts;
        parts.fractionBits = 63;
        parts.negative = top >> 15;
        int biased = int(top & 0x7fff);
        if (biased == 0x7fff) {
            parts.infinite = (mantissa << 1) == 0;
            parts.nan = !parts.infinite;
        } else {
            parts.mantissa = mantissa;
            parts.exponent = (biased ? biased : 1) - 16383 - 63;
        }
        return parts;
    }
}

} // namespace Quillkit
