// UTF-16LE to UTF-8. Each unit is encoded by itself (a surrogate pair becomes
// two three-byte sequences) and unit 0 is dropped.
#include "zip/base/text/EncodingConvert.h"

#include "zip/base/text/AsciiRuns.h"
#include "zip/base/text/OutputCursor.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"

namespace vexmar {

bool EncodingConvert::convertFromUnicode(const void* data, uint32_t length, DataBuffer& out,
                                         LogBase& log) {
    LogContextExitor context(log, "convertFromUnicode");
    if (length == 1)
        return false;
    const auto* s = static_cast<const uint8_t*>(data);
    const uint8_t* end = s + length;
    OutputCursor cursor(out);
    uint8_t* p = nullptr;
    if (!cursor.reserve(p, uint64_t(length / 2) * 3))
        return outOfMemory(cursor);
    while (end - s >= 2) {
        narrowAsciiRun(s, end, p);
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
        } else if (unit != kMarkerUnit || !copyMarkedRun(s, end, p)) {
            // (A marker unit announces raw bytes carried through a pivot.)
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

} // namespace vexmar
