#include "toolkit/diag/PrintfFormat.h"

#include "toolkit/diag/NumberText.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace Quillkit {

namespace {

struct Conversion {
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
void appendText(WString& out, const Conversion& conv, const WString& text) {
    size_t n = text.size();
    if (conv.precision >= 0 && size_t(conv.precision) < n)
        n = size_t(conv.precision);
    size_t fill = conv.width > int(n) ? size_t(conv.width) - n : 0;
    if (!conv.leftAlign)
        pad(out, fill);
    out.append(text, 0, n);
    if (conv.leftAlign)
        pad(out, fill);
}

NumberForm numberFormOf(const Conversion& conv) {
    NumberForm form;
    for (char flag : conv.flags) {
        form.leftAlign |= flag == '-';
        form.plus |= flag == '+';
        form.space |= flag == ' ';
        form.alternate |= flag == '#';
        form.zeroPad |= flag == '0';
    }
    form.width = conv.width;
    form.precision = conv.precision;
    form.conversion = conv.conversion;
    return form;
}

const char* nullText = "(null)";

// Reads flags, width, precision and length; `p` ends on the conversion letter.
void parseSpec(const WChar*& p, Conversion& conv, va_list& arguments) {
    for (; *p == '-' || *p == '+' || *p == ' ' || *p == '#' || *p == '0'; ++p) {
        conv.flags += char(*p);
        if (*p == '-')
            conv.leftAlign = true;
    }
    if (*p == '*') {
        conv.width = va_arg(arguments, int);
        if (conv.width < 0) {
            conv.leftAlign = true;
            conv.flags += '-';
            conv.width = -conv.width;
        }
        ++p;
    } else {
        for (; *p >= '0' && *p <= '9'; ++p)
            conv.width = (conv.width < 0 ? 0 : conv.width * 10) + int(*p - '0');
    }
    if (*p == '.') {
        ++p;
        conv.precision = 0;
        if (*p == '*') {
            conv.precision = va_arg(arguments, int);
            ++p;
        } else {
            for (; *p >= '0' && *p <= '9'; ++p)
                conv.precision = conv.precision * 10 + int(*p - '0');
        }
    }
    for (;;) {
        if (*p == 'h') {
            conv.length =
                conv.length == Conversion::kShort ? Conversion::kChar : Conversion::kShort;
        } else if (*p == 'l' || *p == 'w') {
            conv.length =
                conv.length == Conversion::kLong ? Conversion::kLongLong : Conversion::kLong;
        } else if (*p == 'L') {
            conv.length = Conversion::kLongDouble;
        } else if (*p == 'z' || *p == 't') {
            conv.length = Conversion::kSize;
        } else if (*p == 'j') {
            conv.length = Conversion::kLongLong;
        } else if (*p == 'I') {
            if (p[1] == '6' && p[2] == '4') {
                conv.length = Conversion::kLongLong;
                p += 2;
            } else if (p[1] == '3' && p[2] == '2') {
                conv.length = Conversion::kDefault;
                p += 2;
            } else {
                conv.length = Conversion::kSize;
            }
        } else {
            break;
        }
        ++p;
    }
    conv.conversion = char(*p);
}

void appendSigned(WString& out, Conversion& conv, va_list& arguments) {
    long long v;
    switch (conv.length) {
    case Conversion::kLong:
        v = va_arg(arguments, long);
        break;
    case Conversion::kLongLong:
        v = va_arg(arguments, long long);
        break;
    case Conversion::kSize:
        v = static_cast<long long>(va_arg(arguments, ptrdiff_t));
        break;
    case Conversion::kShort:
        v = short(va_arg(arguments, int));
        break;
    case Conversion::kChar:
        v = static_cast<signed char>(va_arg(arguments, int));
        break;
    default:
        v = va_arg(arguments, int);
        break;
    }
    AppendSignedText(out, numberFormOf(conv), v);
}

void appendUnsigned(WString& out, Conversion& conv, va_list& arguments) {
    unsigned long long v;
    switch (conv.length) {
    case Conversion::kLong:
        v = va_arg(arguments, unsigned long);
        break;
    case Conversion::kLongLong:
        v = va_arg(arguments, unsigned long long);
        break;
    case Conversion::kSize:
        v = va_arg(arguments, size_t);
        break;
    case Conversion::kShort:
        v = static_cast<unsigned short>(va_arg(arguments, unsigned));
        break;
    case Conversion::kChar:
        v = static_cast<unsigned char>(va_arg(arguments, unsigned));
        break;
    default:
        v = va_arg(arguments, unsigned);
        break;
    }
    AppendUnsignedText(out, numberFormOf(conv), v);
}

void appendFloating(WString& out, Conversion& conv, va_list& arguments) {
    if (conv.length == Conversion::kLongDouble)
        AppendFloatText(out, numberFormOf(conv), va_arg(arguments, long double));
    else
        AppendFloatText(out, numberFormOf(conv), va_arg(arguments, double));
}

// As the Windows runtime writes pointers: all hex digits, upper case.
void appendPointer(WString& out, const Conversion& conv, va_list& arguments) {
    auto value = reinterpret_cast<uintptr_t>(va_arg(arguments, void*));
    NumberForm digits;
    digits.conversion = 'X';
    digits.precision = int(2 * sizeof(uintptr_t));
    WString text;
    AppendUnsignedText(text, digits, value);
    appendText(out, conv, text);
}

// %s, %S, %c, %C with the Windows wide-format meaning of the case.
void appendString(WString& out, const Conversion& conv, va_list& arguments) {
    bool upper = conv.conversion == 'S' || conv.conversion == 'C';
    bool narrow = conv.length == Conversion::kShort || (upper && conv.length != Conversion::kLong);
    bool character = conv.conversion == 'c' || conv.conversion == 'C';
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
    appendText(out, conv, text);
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
        Conversion conv;
        parseSpec(p, conv, args);
        switch (conv.conversion) {
        case 'd':
        case 'i':
            appendSigned(out, conv, args);
            break;
        case 'u':
        case 'o':
        case 'x':
        case 'X':
            appendUnsigned(out, conv, args);
            break;
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            appendFloating(out, conv, args);
            break;
        case 'p':
            appendPointer(out, conv, args);
            break;
        case 's':
        case 'S':
        case 'c':
        case 'C':
            appendString(out, conv, args);
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
