// One printf conversion of a number, written as C99 and glibc print it, digit for
// digit: integers d i u o x X, floating point f F e E g G a A, with flags, width
// and precision. Floating point is exact: the decimal value of the binary number,
// rounded half to even. (Where glibc loses the zeros '#' keeps in %g, when rounding
// carries into the exponent form, this keeps them, as C99 says.)
#pragma once

#include "toolkit/diag/Text.h"

#include <string>

namespace Quillkit {

// How one number is written: the flags, width, precision and conversion of a printf
// conversion.
struct NumberForm {
    bool leftAlign = false; // '-'
    bool plus = false;      // '+'
    bool space = false;     // ' '
    bool alternate = false; // '#'
    bool zeroPad = false;   // '0'
    int width = 0;
    int precision = -1; // none given
    char conversion = 'd';
};

// d and i print `value` as signed; u o x X as unsigned.
void AppendSignedText(std::string& out, const NumberForm& form, long long value);
void AppendUnsignedText(std::string& out, const NumberForm& form, unsigned long long value);
// A double as %f and the rest print it; the long double one keeps its wider value
// (and %La its own hex form, with a whole hex digit before the point).
void AppendFloatText(std::string& out, const NumberForm& form, double value);
void AppendFloatText(std::string& out, const NumberForm& form, long double value);

// The same into UTF-16 text.
void AppendSignedText(WString& out, const NumberForm& form, long long value);
void AppendUnsignedText(WString& out, const NumberForm& form, unsigned long long value);
void AppendFloatText(WString& out, const NumberForm& form, double value);
void AppendFloatText(WString& out, const NumberForm& form, long double value);

} // namespace Quillkit
