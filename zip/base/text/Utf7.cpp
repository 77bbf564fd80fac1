// UTF-7 (RFC 2152) to and from UTF-16LE.
#include "zip/base/text/StatefulCoders.h"
#include "zip/base/DataBuffer.h"

namespace vexmar {

namespace textcoders {

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int base64Value(uint8_t c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// Written as themselves: letters, digits, ' ( ) , - . / : ? and space, tab, CR, LF.
bool isDirect(char16_t unit) {
    if ((unit >= 'A' && unit <= 'Z') || (unit >= 'a' && unit <= 'z') ||
        (unit >= '0' && unit <= '9'))
        return true;
    switch (unit) {
    case '\'':
    case '(':
    case ')':
    case ',':
    case '-':
    case '.':
    case '/':
    case ':':
    case '?':
    case ' ':
    case '\t':
    case '\r':
    case '\n':
        return true;
    default:
        return false;
    }
}

bool appendUnit(DataBuffer& out, uint32_t unit) {
    uint8_t le[2] = {uint8_t(unit), uint8_t(unit >> 8)};
    return out.append(le, 2);
}

} // namespace

Result utf7ToUtf16(const uint8_t* s, uint32_t length, DataBuffer& out) {
    const uint8_t* end = s + length;
    Result result = Result::kOk;
    while (s < end) {
        uint8_t c = *s++;
        if (c >= 0x80) {
            result = Result::kBadInput;
            continue;
        }
        if (c != '+') {
            if (!appendUnit(out, c))
                return Result::kOutOfMemory;
            continue;
        }
        if (s < end && *s == '-') { // "+-" is "+"
            ++s;
            if (!appendUnit(out, '+'))
                return Result::kOutOfMemory;
            continue;
        }
        // A base64 run, up to the first byte that is not base64; a "-" there
        // only closes the run.
        uint32_t bits = 0;
        int count = 0;
        for (int v; s < end && (v = base64Value(*s)) >= 0; ++s) {
            bits = bits << 6 | uint32_t(v);
            count += 6;
            if (count >= 16) {
                count -= 16;
                if (!appendUnit(out, bits >> count & 0xFFFF))
                    return Result::kOutOfMemory;
            }
        }
        // What is left must be fewer than six zero bits.
        if (count >= 6 || (bits & ((1u << count) - 1)) != 0)
            result = Result::kBadInput;
        if (s < end && *s == '-')
            ++s;
    }
    return result;
}

Result utf16ToUtf7(const uint8_t* s, uint32_t length, DataBuffer& out) {
    const uint8_t* end = s + length - length % 2;
    if (end - s >= 2 && s[0] == 0xFF && s[1] == 0xFE) // a byte-order mark is dropped
        s += 2;
    while (s < end) {
        char16_t unit = char16_t(s[0] | s[1] << 8);
        if (isDirect(unit)) {
            if (!out.appendByte(uint8_t(unit)))
                return Result::kOutOfMemory;
            s += 2;
            continue;
        }
        if (unit == '+') {
            if (!out.append("+-", 2))
                return Result::kOutOfMemory;
            s += 2;
            continue;
        }
        // Everything up to the next direct character or "+" goes in one run.
        if (!out.appendByte('+'))
            return Result::kOutOfMemory;
        uint32_t bits = 0;
        int count = 0;
        for (; s < end; s += 2) {
            unit = char16_t(s[0] | s[1] << 8);
            if (isDirect(unit) || unit == '+')
                break;
            bits = bits << 16 | unit;
            count += 16;
            while (count >= 6) {
                count -= 6;
                if (!out.appendByte(uint8_t(kBase64[bits >> count & 63])))
                    return Result::kOutOfMemory;
            }
        }
        if (count > 0 && !out.appendByte(uint8_t(kBase64[bits << (6 - count) & 63])))
            return Result::kOutOfMemory;
        if (!out.appendByte('-'))
            return Result::kOutOfMemory;
    }
    return length % 2 ? Result::kBadInput : Result::kOk;
}

} // namespace textcoders

} // namespace vexmar
