// ISO-2022-KR (code page 50225, RFC 1557) to and from code page 949: after the
// designation ESC $ ) C, SO switches to KS X 1001 in two 7-bit bytes and SI
// back to ASCII.
#include "zip/base/text/StatefulCoders.h"
#include "zip/base/DataBuffer.h"

#include <cstring>

namespace vexmar {

namespace textcoders {

namespace {

constexpr uint8_t kDesignation[4] = {0x1B, '$', ')', 'C'};
constexpr uint8_t kShiftOut = 0x0E;
constexpr uint8_t kShiftIn = 0x0F;

bool isKscByte(uint8_t b) {
    return b >= 0x21 && b <= 0x7E;
}

} // namespace

Result iso2022KrTo949(const uint8_t* s, uint32_t length, DataBuffer& out) {
    const uint8_t* end = s + length;
    bool shifted = false;
    Result result = Result::kOk;
    while (s < end) {
        uint8_t b = *s;
        if (end - s >= 4 && std::memcmp(s, kDesignation, 4) == 0) {
            s += 4;
            continue;
        }
        if (b == kShiftOut || b == kShiftIn) {
            shifted = b == kShiftOut;
            ++s;
            continue;
        }
        if (shifted && isKscByte(b)) {
            if (end - s < 2 || !isKscByte(s[1])) {
                result = Result::kBadInput;
                ++s;
                continue;
            }
            uint8_t pair[2] = {uint8_t(b | 0x80), uint8_t(s[1] | 0x80)};
            if (!out.append(pair, 2))
                return Result::kOutOfMemory;
            s += 2;
            continue;
        }
        ++s;
        if (b >= 0x80) {
            result = Result::kBadInput;
            continue;
        }
        if (!out.appendByte(b))
            return Result::kOutOfMemory;
    }
    return result;
}

Result cp949ToIso2022Kr(const uint8_t* s, uint32_t length, DataBuffer& out) {
    const uint8_t* end = s + length;
    // The designation comes once, at the start, when anything needs it.
    bool needed = false;
    for (const uint8_t* p = s; p < end && !needed; ++p)
        needed = *p >= 0x80;
    if (needed && !out.append(kDesignation, 4))
        return Result::kOutOfMemory;
    bool shifted = false;
    Result result = Result::kOk;
    while (s < end) {
        uint8_t b = *s;
        if (b < 0x80) {
            if ((shifted && !out.appendByte(kShiftIn)) || !out.appendByte(b))
                return Result::kOutOfMemory;
            shifted = false;
            ++s;
            continue;
        }
        // A double-byte character of 949; only those of KS X 1001 (both bytes
        // 0xA1-0xFE) have a 7-bit form.
        uint32_t used = end - s >= 2 ? 2 : 1;
        bool ok = used == 2 && b >= 0xA1 && b <= 0xFE && s[1] >= 0xA1 && s[1] <= 0xFE;
        if (ok) {
            uint8_t pair[2] = {uint8_t(b & 0x7F), uint8_t(s[1] & 0x7F)};
            if ((!shifted && !out.appendByte(kShiftOut)) || !out.append(pair, 2))
                return Result::kOutOfMemory;
            shifted = true;
        } else {
            result = Result::kBadInput;
        }
        s += used;
    }
    if (shifted && !out.appendByte(kShiftIn))
        return Result::kOutOfMemory;
    return result;
}

} // namespace textcoders

} // namespace vexmar
