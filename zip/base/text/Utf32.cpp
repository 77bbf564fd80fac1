// UTF-32 (either byte order) to and from UTF-8.
#include "zip/base/text/StatefulCoders.h"
#include "zip/base/DataBuffer.h"

#include <cstddef>

namespace vexmar {

namespace textcoders {

namespace {

// One code point as UTF-8: one to four bytes.
uint32_t encodeUtf8(uint32_t c, uint8_t* p) {
    if (c < 0x80) {
        p[0] = uint8_t(c);
        return 1;
    }
    if (c < 0x800) {
        p[0] = uint8_t(0xC0 | c >> 6);
        p[1] = uint8_t(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        p[0] = uint8_t(0xE0 | c >> 12);
        p[1] = uint8_t(0x80 | (c >> 6 & 0x3F));
        p[2] = uint8_t(0x80 | (c & 0x3F));
        return 3;
    }
    p[0] = uint8_t(0xF0 | c >> 18);
    p[1] = uint8_t(0x80 | (c >> 12 & 0x3F));
    p[2] = uint8_t(0x80 | (c >> 6 & 0x3F));
    p[3] = uint8_t(0x80 | (c & 0x3F));
    return 4;
}

bool isContinuation(uint8_t b) {
    return (b & 0xC0) == 0x80;
}

// The code point of the UTF-8 sequence at s and its length; 0 for an invalid
// byte (overlong forms and values past U+10FFFF included).
uint32_t decodeUtf8(const uint8_t* s, const uint8_t* end, uint32_t& c) {
    uint8_t b = s[0];
    size_t left = size_t(end - s);
    if (b < 0x80) {
        c = b;
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF && left >= 2 && isContinuation(s[1])) {
        c = uint32_t(b & 0x1F) << 6 | (s[1] & 0x3F);
        return 2;
    }
    if (b >= 0xE0 && b <= 0xEF && left >= 3 && isContinuation(s[1]) && isContinuation(s[2])) {
        c = uint32_t(b & 0x0F) << 12 | uint32_t(s[1] & 0x3F) << 6 | (s[2] & 0x3F);
        return c >= 0x800 ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4 && left >= 4 && isContinuation(s[1]) && isContinuation(s[2]) &&
        isContinuation(s[3])) {
        c = uint32_t(b & 0x07) << 18 | uint32_t(s[1] & 0x3F) << 12 | uint32_t(s[2] & 0x3F) << 6 |
            (s[3] & 0x3F);
        return c >= 0x10000 && c <= 0x10FFFF ? 4 : 0;
    }
    return 0;
}

bool isHighSurrogate(uint32_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(uint32_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

Result utf32ToUtf8(const uint8_t* s, uint32_t length, bool bigEndian, bool surrogatePairs,
                   DataBuffer& out) {
    Result result = Result::kOk;
    for (uint32_t i = 0; i + 4 <= length; i += 4) {
        const uint8_t* u = s + i;
        uint32_t c = bigEndian ? uint32_t(u[0]) << 24 | uint32_t(u[1]) << 16 | u[2] << 8 | u[3]
                               : uint32_t(u[3]) << 24 | uint32_t(u[2]) << 16 | u[1] << 8 | u[0];
        if (c > 0x10FFFF) {
            result = Result::kBadInput;
            continue;
        }
        uint8_t bytes[8];
        uint32_t n;
        if (c >= 0x10000 && surrogatePairs) {
            n = encodeUtf8(0xD800 + ((c - 0x10000) >> 10), bytes);
            n += encodeUtf8(0xDC00 + ((c - 0x10000) & 0x3FF), bytes + n);
        } else {
            n = encodeUtf8(c, bytes);
        }
        if (!out.append(bytes, n))
            return Result::kOutOfMemory;
    }
    return result;
}

Result utf8ToUtf32(const uint8_t* s, uint32_t length, bool bigEndian, DataBuffer& out) {
    const uint8_t* end = s + length;
    Result result = Result::kOk;
    while (s < end) {
        uint32_t c = 0;
        uint32_t n = decodeUtf8(s, end, c);
        if (n == 0) {
            result = Result::kBadInput;
            ++s;
            continue;
        }
        s += n;
        // A surrogate pair written as two three-byte sequences is one character.
        uint32_t low = 0;
        if (isHighSurrogate(c) && s < end && decodeUtf8(s, end, low) == 3 && isLowSurrogate(low)) {
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            s += 3;
        }
        uint8_t bytes[4];
        for (int i = 0; i < 4; ++i)
            bytes[bigEndian ? 3 - i : i] = uint8_t(c >> 8 * i);
        if (!out.append(bytes, 4))
            return Result::kOutOfMemory;
    }
    return result;
}

} // namespace textcoders

} // namespace vexmar
