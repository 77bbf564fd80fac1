// UTF-16LE to UTF-8. Each unit is encoded by itself (a surrogate pair becomes
// two three-byte sequences) and unit 0 is dropped.
#include "codecs/text/EncodingConvert.h"

#include "codecs/text/OutputCursor.h"
#include "zip/core/LogBase.h"
#include "zip/core/LogContextExitor.h"

#include <cstring>

bool EncodingConvert::convertFromUnicode(const void* data, uint32_t length, DataBuffer& out,
                                         LogBase& log) {
    LogContextExitor context(log, "convertFromUnicode");
    if (length == 1)
        return false;
    const auto* s = static_cast<const uint8_t*>(data);
    const uint8_t* end = s + length;
    OutputCursor cursor(out);
    uint8_t* p = nullptr;
    if (!cursor.reserve(p, uint64_t(length / 2) * 3)) {
        allocFailed_ = true;
        return false;
    }
    while (end - s >= 2) {
        // Runs of units 0x01-0x7F, four at a time.
        while (end - s >= 8) {
            uint64_t w;
            std::memcpy(&w, s, 8);
            bool nonAscii = w & 0xFF80FF80FF80FF80ull;
            bool hasZero = (w - 0x0001000100010001ull) & ~w & 0x8000800080008000ull;
            if (nonAscii || hasZero)
                break;
            p[0] = s[0];
            p[1] = s[2];
            p[2] = s[4];
            p[3] = s[6];
            s += 8;
            p += 4;
        }
        if (end - s < 2)
            break;
        uint32_t unit = uint32_t(s[0]) | uint32_t(s[1]) << 8;
        s += 2;
        if (unit < 0x80) {
            if (unit)
                *p++ = uint8_t(unit);
        } else if (unit < 0x800) {
            p[0] = uint8_t(0xC0 | unit >> 6);
            p[1] = uint8_t(0x80 | (unit & 0x3F));
            p += 2;
        } else if (unit == kMarkerUnit && honourMarkers_ && s < end && *s <= kMaxMarkedRun) {
            // Raw bytes carried through the pivot: copied unchanged.
            uint32_t count = *s++;
            if (count > uint32_t(end - s))
                count = uint32_t(end - s);
            std::memcpy(p, s, count);
            p += count;
            s += count;
        } else {
            p[0] = uint8_t(0xE0 | unit >> 12);
            p[1] = uint8_t(0x80 | (unit >> 6 & 0x3F));
            p[2] = uint8_t(0x80 | (unit & 0x3F));
            p += 3;
        }
    }
    cursor.commit(p);
    // An odd last byte is dropped, and the result says so.
    return s == end;
}
