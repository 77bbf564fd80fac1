#include "os/WideText.h"

#include <cstdint>

namespace os {

size_t wideLength(const wchar* text) {
    size_t n = 0;
    while (text[n] != 0)
        ++n;
    return n;
}

static void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

std::string toUtf8(const wchar* text, size_t length) {
    std::string out;
    out.reserve(length);
    for (size_t i = 0; i < length; ++i) {
        uint32_t u = uint16_t(text[i]);
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < length && uint16_t(text[i + 1]) >= 0xDC00 &&
            uint16_t(text[i + 1]) < 0xE000) {
            u = 0x10000 + ((u - 0xD800) << 10) + (uint16_t(text[i + 1]) - 0xDC00);
            ++i;
        } else if (u >= 0xD800 && u < 0xE000) {
            u = 0xFFFD;
        }
        appendUtf8(out, u);
    }
    return out;
}

// Length of the sequence a lead byte starts, with the smallest code point it may encode.
static int sequenceLength(uint8_t lead, uint32_t& cp, uint32_t& minimum) {
    if (lead < 0x80) {
        cp = lead;
        minimum = 0;
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        cp = lead & 0x1F;
        minimum = 0x80;
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        cp = lead & 0x0F;
        minimum = 0x800;
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        cp = lead & 0x07;
        minimum = 0x10000;
        return 4;
    }
    return 0;
}

wstring fromUtf8(const char* text, size_t length) {
    wstring out;
    out.reserve(length);
    size_t i = 0;
    while (i < length) {
        uint32_t cp = 0;
        uint32_t minimum = 0;
        int n = sequenceLength(uint8_t(text[i]), cp, minimum);
        bool good = n > 0 && i + size_t(n) <= length;
        for (int k = 1; good && k < n; ++k) {
            uint8_t b = uint8_t(text[i + size_t(k)]);
            good = (b & 0xC0) == 0x80;
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!good || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) {
            out += wchar(0xFFFD);
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out += wchar(0xD800 + ((cp - 0x10000) >> 10));
            out += wchar(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += wchar(cp);
        }
        i += size_t(n);
    }
    return out;
}

} // namespace os
