#include "toolkit/diag/ExactDecimal.h"

#include <vector>

namespace Quillkit {

namespace {

// A natural number in base 10^9, least significant limb first.
using Limbs = std::vector<uint32_t>;
constexpr uint32_t kLimbBase = 1000000000;

void multiplySmall(Limbs& n, uint32_t factor) {
    uint64_t carry = 0;
    uint32_t* limb = n.data();
    for (size_t i = 0, count = n.size(); i < count; ++i) {
        uint64_t x = uint64_t(limb[i]) * factor + carry;
        limb[i] = uint32_t(x % kLimbBase);
        carry = x / kLimbBase;
    }
    for (; carry; carry /= kLimbBase)
        n.push_back(uint32_t(carry % kLimbBase));
}

// n × base^count, a few factors at a time (each below 2^32).
void multiplyPower(Limbs& n, uint32_t base, int count, int perStep) {
    uint32_t step = 1;
    for (int i = 0; i < perStep; ++i)
        step *= base;
    for (; count >= perStep; count -= perStep)
        multiplySmall(n, step);
    uint32_t rest = 1;
    for (; count > 0; --count)
        rest *= base;
    if (rest > 1)
        multiplySmall(n, rest);
}

// Writes the limb's nine digits backwards from `end`, leading zeros included.
void writeLimb(char* end, uint32_t limb) {
    for (int i = 0; i < 9; ++i, limb /= 10)
        *--end = char('0' + limb % 10);
}

void stripTrailingZeros(std::string& digits) {
    size_t end = digits.find_last_not_of('0');
    digits.resize(end == std::string::npos ? 0 : end + 1);
}

} // namespace

DecimalDigits ExactDecimal(uint64_t mantissa, int exponent) {
    DecimalDigits value;
    if (mantissa == 0)
        return value;
    for (; !(mantissa & 1); mantissa >>= 1)
        ++exponent;
    Limbs n;
    for (; mantissa; mantissa /= kLimbBase)
        n.push_back(uint32_t(mantissa % kLimbBase));
    // m × 2^-k is m × 5^k / 10^k: the same digits, k places further right.
    if (exponent >= 0)
        multiplyPower(n, 2, exponent, 31);
    else
        multiplyPower(n, 5, -exponent, 13);
    std::string& digits = value.digits;
    digits.resize(9 * n.size());
    char* end = &digits[0] + digits.size();
    for (size_t i = 0; i < n.size(); ++i, end -= 9)
        writeLimb(end, n[i]);
    digits.erase(0, digits.find_first_not_of('0'));
    value.point = int(digits.size()) + (exponent < 0 ? exponent : 0);
    stripTrailingZeros(digits);
    return value;
}

void RoundDigits(DecimalDigits& value, int count) {
    std::string& d = value.digits;
    if (count >= int(d.size()))
        return;
    if (count < 0) {
        d.clear();
        return;
    }
    char next = d[size_t(count)];
    bool beyond = d.size() > size_t(count) + 1; // the last stored digit is nonzero
    bool odd = count > 0 && (d[size_t(count) - 1] - '0') % 2;
    bool up = next > '5' || (next == '5' && (beyond || odd));
    d.resize(size_t(count));
    if (up) {
        int i = count - 1;
        for (; i >= 0 && d[size_t(i)] == '9'; --i)
            d[size_t(i)] = '0';
        if (i >= 0) {
            ++d[size_t(i)];
        } else {
            d.insert(d.begin(), '1');
            ++value.point;
        }
    }
    stripTrailingZeros(d);
}

} // namespace Quillkit
