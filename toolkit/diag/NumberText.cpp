#include "toolkit/diag/NumberText.h"

#include "toolkit/diag/ExactDecimal.h"
#include "toolkit/diag/FloatFields.h"

namespace Quillkit {

namespace {

bool isUpper(char conversion) {
    return conversion >= 'A' && conversion <= 'Z';
}

// Width: spaces before, zeros between prefix and body, or spaces after.
void layOut(std::string& out, const NumberForm& form, const std::string& prefix,
            const std::string& body, bool zeroPad) {
    size_t length = prefix.size() + body.size();
    size_t fill = form.width > 0 && size_t(form.width) > length ? size_t(form.width) - length : 0;
    if (form.leftAlign) {
        out += prefix;
        out += body;
        out.append(fill, ' ');
    } else if (zeroPad) {
        out += prefix;
        out.append(fill, '0');
        out += body;
    } else {
        out.append(fill, ' ');
        out += prefix;
        out += body;
    }
}

std::string signText(const NumberForm& form, bool negative) {
    return negative ? "-" : form.plus ? "+" : form.space ? " " : "";
}

void appendDigits(std::string& out, unsigned long long value, unsigned base, bool upper) {
    const char* digitSet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    char text[64];
    int n = 0;
    do {
        text[n++] = digitSet[value % base];
        value /= base;
    } while (value);
    while (n)
        out += text[--n];
}

void appendInteger(std::string& out, const NumberForm& form, unsigned long long magnitude,
                   const std::string& sign) {
    char c = form.conversion;
    unsigned base = c == 'o' ? 8 : c == 'x' || c == 'X' ? 16 : 10;
    std::string body;
    if (magnitude != 0 || form.precision != 0)
        appendDigits(body, magnitude, base, c == 'X');
    if (form.precision > 0 && size_t(form.precision) > body.size())
        body.insert(0, size_t(form.precision) - body.size(), '0');
    std::string prefix = sign;
    if (form.alternate && base == 8 && (body.empty() || body[0] != '0'))
        body.insert(0, 1, '0');
    if (form.alternate && base == 16 && magnitude != 0)
        prefix += c == 'X' ? "0X" : "0x";
    layOut(out, form, prefix, body, form.zeroPad && !form.leftAlign && form.precision < 0);
}

void appendExponent(std::string& body, char letter, int exponent, size_t minimumDigits) {
    body += letter;
    body += exponent < 0 ? '-' : '+';
    std::string digits;
    appendDigits(digits, unsigned(exponent < 0 ? -exponent : exponent), 10, false);
    if (digits.size() < minimumDigits)
        body.append(minimumDigits - digits.size(), '0');
    body += digits;
}

// %f's digits: the integer part, then `precision` places after the point.
std::string fixedBody(DecimalDigits value, int precision, bool point) {
    RoundDigits(value, value.point + precision);
    std::string body;
    if (value.point <= 0)
        body += '0';
    for (int i = 0; i < value.point; ++i)
        body += value.at(i);
    if (precision > 0 || point)
        body += '.';
    for (int i = 0; i < precision; ++i)
        body += value.at(value.point + i);
    return body;
}

// %e's digits: one before the point, `precision` after, and the exponent.
std::string scientificBody(DecimalDigits value, int precision, bool point, bool upper) {
    RoundDigits(value, precision + 1);
    std::string body(1, value.at(0));
    if (precision > 0 || point)
        body += '.';
    for (int i = 1; i <= precision; ++i)
        body += value.at(i);
    appendExponent(body, upper ? 'E' : 'e', value.digits.empty() ? 0 : value.point - 1, 2);
    return body;
}

// %g drops the fraction's trailing zeros, and the point when nothing follows it.
void dropTrailingZeros(std::string& body) {
    size_t point = body.find('.');
    if (point == std::string::npos)
        return;
    size_t exponent = body.find_first_of("eE", point);
    size_t end = exponent == std::string::npos ? body.size() : exponent;
    size_t last = body.find_last_not_of('0', end - 1);
    size_t from = last == point ? point : last + 1;
    body.erase(from, end - from);
}

std::string generalBody(const DecimalDigits& value, int precision, bool alternate, bool upper) {
    int significant = precision < 0 ? 6 : precision == 0 ? 1 : precision;
    DecimalDigits rounded = value;
    RoundDigits(rounded, significant);
    int exponent = rounded.digits.empty() ? 0 : rounded.point - 1;
    std::string body = significant > exponent && exponent >= -4
                           ? fixedBody(value, significant - 1 - exponent, alternate)
                           : scientificBody(value, significant - 1, alternate, upper);
    if (!alternate)
        dropTrailingZeros(body);
    return body;
}

// %a: a hex digit before the point (for a double, 1 or, below the normal range,
// 0), the rest of the mantissa in hex after it, and a binary exponent.
std::string hexBody(const FloatFields& parts, const NumberForm& form) {
    bool upper = isUpper(form.conversion);
    int fractionBits = parts.fractionBits == 52 ? 52 : 60;
    int places = fractionBits / 4;
    unsigned lead = unsigned(parts.mantissa >> fractionBits);
    uint64_t fraction = parts.mantissa & ((uint64_t(1) << fractionBits) - 1);
    int exponent = parts.mantissa ? parts.exponent + fractionBits : 0;
    if (form.precision >= 0 && form.precision < places) {
        int dropped = 4 * (places - form.precision);
        uint64_t rest = fraction & ((uint64_t(1) << dropped) - 1);
        uint64_t half = uint64_t(1) << (dropped - 1);
        fraction >>= dropped;
        bool odd = form.precision > 0 ? (fraction & 1) : (lead & 1);
        if (rest > half || (rest == half && odd)) {
            ++fraction;
            if (fraction >> (4 * form.precision)) { // the carry reaches the lead digit
                fraction = 0;
                if (++lead == 16) {
                    lead = 1;
                    exponent += 4;
                }
            }
        }
        places = form.precision;
    }
    std::string digits;
    for (int i = places - 1; i >= 0; --i)
        digits += (upper ? "0123456789ABCDEF" : "0123456789abcdef")[(fraction >> (4 * i)) & 15];
    if (form.precision < 0)
        digits.erase(digits.find_last_not_of('0') + 1);
    else if (size_t(form.precision) > digits.size())
        digits.append(size_t(form.precision) - digits.size(), '0');
    std::string body(1, (upper ? "0123456789ABCDEF" : "0123456789abcdef")[lead]);
    if (!digits.empty() || form.alternate)
        body += '.';
    body += digits;
    appendExponent(body, upper ? 'P' : 'p', exponent, 1);
    return body;
}

void appendFloat(std::string& out, const NumberForm& form, const FloatFields& parts) {
    bool upper = isUpper(form.conversion);
    std::string prefix = signText(form, parts.negative);
    if (parts.infinite || parts.nan) {
        layOut(out, form, prefix, parts.nan ? (upper ? "NAN" : "nan") : (upper ? "INF" : "inf"),
               false);
        return;
    }
    char c = char(form.conversion | 0x20);
    std::string body;
    if (c == 'a') {
        prefix += upper ? "0X" : "0x";
        body = hexBody(parts, form);
    } else {
        DecimalDigits value = ExactDecimal(parts.mantissa, parts.exponent);
        int precision = form.precision < 0 ? 6 : form.precision;
        if (c == 'f')
            body = fixedBody(value, precision, form.alternate);
        else if (c == 'e')
            body = scientificBody(value, precision, form.alternate, upper);
        else
            body = generalBody(value, form.precision, form.alternate, upper);
    }
    layOut(out, form, prefix, body, form.zeroPad && !form.leftAlign);
}

void widen(WString& out, const std::string& text) {
    for (char c : text)
        out += WChar(static_cast<unsigned char>(c));
}

} // namespace

void AppendSignedText(std::string& out, const NumberForm& form, long long value) {
    unsigned long long magnitude = value < 0 ? 0 - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    appendInteger(out, form, magnitude, signText(form, value < 0));
}

void AppendUnsignedText(std::string& out, const NumberForm& form, unsigned long long value) {
    appendInteger(out, form, value, "");
}

void AppendFloatText(std::string& out, const NumberForm& form, double value) {
    appendFloat(out, form, SplitFloat(value));
}

void AppendFloatText(std::string& out, const NumberForm& form, long double value) {
    appendFloat(out, form, SplitFloat(value));
}

void AppendSignedText(WString& out, const NumberForm& form, long long value) {
    std::string text;
    AppendSignedText(text, form, value);
    widen(out, text);
}

void AppendUnsignedText(WString& out, const NumberForm& form, unsigned long long value) {
    std::string text;
    AppendUnsignedText(text, form, value);
    widen(out, text);
}

void AppendFloatText(WString& out, const NumberForm& form, double value) {
    std::string text;
    AppendFloatText(text, form, value);
    widen(out, text);
}

void AppendFloatText(WString& out, const NumberForm& form, long double value) {
    std::string text;
    AppendFloatText(text, form, value);
    widen(out, text);
}

} // namespace Quillkit
