#include "toolkit/diag/PrintfFormat.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace Quillkit {

namespace {

struct Spec {
    std::string flags;
    int width = -1;
    int precision = -1;
    bool leftAlign = false;
    enum Length { kDefault, kShort, kChar, kLong, kLongLong, kSize, kLongDouble } length = kDefault;
    char conversion = 0;
};

void appendAscii(WString& out, const char* text) {
    for (; *text; ++text)
        out += WChar(static_cast<unsigned char>(*text));
}

void pad(WString& out, size_t count) {
    out.append(count, WChar(' '));
}

// Text conversions: width and precision count UTF-16 units.
void appendText(WString& out, const Spec& spec, const WString& text) {
    size_t n = text.size();
    if (spec.precision >= 0 && size_t(spec.precision) < n)
        n = size_t(spec.precision);
    size_t fill = spec.width > int(n) ? size_t(spec.width) - n : 0;
    if (!spec.leftAlign)
        pad(out, fill);
    out.append(text, 0, n);
    if (spec.leftAlign)
        pad(out, fill);
}

// Numbers go through the C library's own formatter with an 8-bit format.
std::string numberFormat(const Spec& spec, const char* length) {
    std::string f = "%" + spec.flags;
    if (spec.width >= 0)
        f += std::to_string(spec.width);
    if (spec.precision >= 0)
        f += "." + std::to_string(spec.precision);
    return f + length + spec.conversion;
}

template <typename T> void appendNumber(WString& out, const std::string& format, T value) {
    char buffer[512];
    int n = std::snprintf(buffer, sizeof buffer, format.c_str(), value);
    if (n >= 0)
        appendAscii(out, buffer);
}

const char* nullText = "(null)";

// Reads flags, width, precision and length; `p` ends on the conversion letter.
void parseSpec(const WChar*& p, Spec& spec, va_list& arguments) {
    for (; *p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0'; ++p) {
        spec.flags += char(*p);
        if (*p == '-')
            spec.leftAlign = true;
    }
    if (*p == '*') {
        spec.width = va_arg(arguments, int);
        if (spec.width < 0) {
            spec.leftAlign = true;
            spec.flags += '-';
            spec.width = -spec.width;
        }
        ++p;
    } else {
        for (; *p >= '0' && *p <= '9'; ++p)
            spec.width = (spec.width < 0 ? 0 : spec.width * 10) + int(*p - '0');
    }
    if (*p == '.') {
        ++p;
        spec.precision = 0;
        if (*p == '*') {
            spec.precision = va_arg(arguments, int);
            ++p;
        } else {
            for (; *p >= '0' && *p <= '9'; ++p)
                spec.precision = spec.precision * 10 + int(*p - '0');
        }
    }
    for (;;) {
        if (*p == 'h') {
            spec.length = spec.length == Spec::kShort ? Spec::kChar : Spec::kShort;
        } else if (*p == 'l' || *p == 'w') {
            spec.length = spec.length == Spec::kLong ? Spec::kLongLong : Spec::kLong;
        } else if (*p == 'L') {
            spec.length = Spec::kLongDouble;
        } else if (*p == 'z' || *p == 't') {
            spec.length = Spec::kSize;
        } else if (*p == 'j') {
            spec.length = Spec::kLongLong;
        } else if (*p == 'I') {
            if (p[1] == '6' && p[2] == '4') {
                spec.length = Spec::kLongLong;
                p += 2;
            } else if (p[1] == '3' && p[2] == '2') {
                spec.length = Spec::kDefault;
                p += 2;
            } else {
                spec.length = Spec::kSize;
            }
        } else {
            break;
        }
        ++p;
    }
    spec.conversion = char(*p);
}

void appendSigned(WString& out, Spec& spec, va_list& arguments) {
    long long v;
    switch (spec.length) {
    case Spec::kLong:
        v = va_arg(arguments, long);
        break;
    case Spec::kLongLong:
        v = va_arg(arguments, long long);
        break;
    case Spec::kSize:
        v = static_cast<long long>(va_arg(arguments, ptrdiff_t));
        break;
    case Spec::kShort:
        v = short(va_arg(arguments, int));
        break;
    case Spec::kChar:
        v = static_cast<signed char>(va_arg(arguments, int));
        break;
    default:
        v = va_arg(arguments, int);
        break;
    }
    appendNumber(out, numberFormat(spec, "ll"), v);
}

void appendUnsigned(WString& out, Spec& spec, va_list& arguments) {
    unsigned long long v;
    switch (spec.length) {
    case Spec::kLong:
        v = va_arg(arguments, unsigned long);
        break;
    case Spec::kLongLong:
        v = va_arg(arguments, unsigned long long);
        break;
    case Spec::kSize:
        v = va_arg(arguments, size_t);
        break;
    case Spec::kShort:
        v = static_cast<unsigned short>(va_arg(arguments, unsigned));
        break;
    case Spec::kChar:
        v = static_cast<unsigned char>(va_arg(arguments, unsigned));
        break;
    default:
        v = va_arg(arguments, unsigned);
        break;
    }
    appendNumber(out, numberFormat(spec, "ll"), v);
}

void appendFloating(WString& out, Spec& spec, va_list& arguments) {
    if (spec.length == Spec::kLongDouble)
        appendNumber(out, numberFormat(spec, "L"), va_arg(arguments, long double));
    else
        appendNumber(out, numberFormat(spec, ""), va_arg(arguments, double));
}

// As the Windows runtime writes pointers: all hex digits, upper case.
void appendPointer(WString& out, const Spec& spec, va_list& arguments) {
    auto value = reinterpret_cast<uintptr_t>(va_arg(arguments, void*));
    char buffer[2 * sizeof(uintptr_t) + 1];
    std::snprintf(buffer, sizeof buffer, "%0*llX", int(2 * sizeof(uintptr_t)),
                  static_cast<unsigned long long>(value));
    WString text;
    appendAscii(text, buffer);
    appendText(out, spec, text);
}

// %s, %S, %c, %C with the Windows wide-format meaning of the case.
void appendString(WString& out, const Spec& spec, va_list& arguments) {
    bool upper = spec.conversion == 'S' || spec.conversion == 'C';
    bool narrow = spec.length == Spec::kShort || (upper && spec.length != Spec::kLong);
    bool character = spec.conversion == 'c' || spec.conversion == 'C';
    WString text;
    if (character) {
        int unit = va_arg(arguments, int);
        text.assign(1, narrow ? WChar(static_cast<unsigned char>(unit)) : WChar(unit));
    } else if (narrow) {
        const char* s = va_arg(arguments, const char*);
        text = os::fromUtf8(s ? s : nullText, std::strlen(s ? s : nullText));
    } else {
        const WChar* s = va_arg(arguments, const WChar*);
        if (s)
            text = s;
        else
            appendAscii(text, nullText);
    }
    appendText(out, spec, text);
}

} // namespace

bool FormatPrintfV(WString& out, const WChar* format, va_list arguments) {
    va_list args;
    va_copy(args, arguments);
    out.clear();
    bool good = true;
    for (const WChar* p = format; good && *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        ++p;
        if (*p == '%') {
            out += WChar('%');
            continue;
        }
        Spec spec;
        parseSpec(p, spec, args);
        switch (spec.conversion) {
        case 'd':
        case 'i':
            appendSigned(out, spec, args);
            break;
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            appendUnsigned(out, spec, args);
            break;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            appendFloating(out, spec, args);
            break;
        case 'p':
            appendPointer(out, spec, args);
            break;
        case 's':
        case 'S':
        case 'c':
        case 'C':
            appendString(out, spec, args);
            break;
        default:
            good = false;
            break;
        }
    }
    va_end(args);
    return good;
}

bool FormatPrintf(WString& out, const WChar* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    bool good = FormatPrintfV(out, format, arguments);
    va_end(arguments);
    return good;
}

WString PrintfText(const WChar* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    WString out;
    if (!FormatPrintfV(out, format, arguments))
        out = format;
    va_end(arguments);
    return out;
}

} // namespace Quillkit
