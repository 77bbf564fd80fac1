#include "toolkit/diag/MessageFormat.h"

#include "toolkit/diag/PrintfFormat.h"

namespace Quillkit {

namespace {

// The conversion letter of an insert's printf format ("5d" gives 'd').
WChar conversionOf(const WString& format) {
    return format.empty() ? WChar('s') : format.back();
}

bool isNumeric(WChar conversion) {
    switch (conversion) {
    case 'd':
    case 'i':
    case 'u':
    case 'o':
    case 'x':
    case 'X':
    case 'c':
    case 'C':
        return true;
    default:
        return false;
    }
}

// The format's flags, width and precision, with the length the insert's type needs.
WString numberSpec(const WString& format) {
    WString core = QK_TEXT("%");
    for (WChar c : format.substr(0, format.size() - 1))
        if (c != 'l' && c != 'h' && c != 'I' && c != 'w' && c != '6' && c != '4')
            core += c;
    WChar conversion = conversionOf(format);
    if (conversion == 'c' || conversion == 'C')
        return core + QK_TEXT("c");
    return core + QK_TEXT("ll") + conversion;
}

void appendInsert(WString& out, const MessageInsert& insert, const WString& format) {
    WString piece;
    WChar conversion = conversionOf(format);
    if (insert.IsText()) {
        const WChar* text = insert.Text() ? insert.Text() : QK_TEXT("");
        if (isNumeric(conversion))
            piece = text;
        else
            FormatPrintf(piece,
                         (QK_TEXT("%") + format.substr(0, format.size() - 1) + QK_TEXT("s")).c_str(),
                         text);
    } else if (isNumeric(conversion)) {
        if (conversion == 'c' || conversion == 'C')
            FormatPrintf(piece, numberSpec(format).c_str(), int(insert.Number()));
        else
            FormatPrintf(piece, numberSpec(format).c_str(), static_cast<long long>(insert.Number()));
    } else {
        FormatPrintf(piece, QK_TEXT("%lld"), static_cast<long long>(insert.Number()));
    }
    out += piece;
}

} // namespace

WString FormatMessageText(const WChar* templ, const MessageInsert* inserts, size_t count) {
    WString out;
    for (const WChar* p = templ; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        const WChar* start = p++;
        if (*p >= '1' && *p <= '9') {
            size_t index = size_t(*p - '0');
            if (p[1] >= '0' && p[1] <= '9')
                index = index * 10 + size_t(*++p - '0');
            WString format = QK_TEXT("s");
            if (p[1] == '!') {
                const WChar* end = p + 2;
                while (*end && *end != '!')
                    ++end;
                if (*end == '!') {
                    format.assign(p + 2, end);
                    p = end;
                }
            }
            if (index <= count && !format.empty())
                appendInsert(out, inserts[index - 1], format);
            else
                out.append(start, p + 1);
            continue;
        }
        switch (*p) {
        case 0:
            return out;
        case '0':
            return out;
        case 'n':
            out += QK_TEXT("\r\n");
            break;
        case 'r':
            out += WChar('\r');
            break;
        case 't':
            out += WChar('\t');
            break;
        case 'b':
            out += WChar(' ');
            break;
        default: // %%, %., %! and any other character: the character itself
            out += *p;
            break;
        }
    }
    return out;
}

} // namespace Quillkit
