#include "os/AnsiText.h"

namespace os {

// The process speaks UTF-8 here: malformed bytes become U+FFFD, as the
// system's conversion would substitute its default character.
bool ansiToWide(const char* text, size_t length, wstring& out) {
    out += fromUtf8(text, length);
    return true;
}

// UTF-8 holds every character; only a lone surrogate has no form in it.
std::string wideToSystemAnsi(const wchar* text) {
    std::string out;
    const size_t length = wideLength(text);
    for (size_t i = 0; i < length; ++i) {
        const wchar unit = text[i];
        const bool high = unit >= 0xD800 && unit <= 0xDBFF;
        const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
        if (high && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            out += toUtf8(text + i, 2);
            ++i;
        } else if (high || low) {
            out += '?';
        } else {
            out += toUtf8(text + i, 1);
        }
    }
    return out;
}

} // namespace os
