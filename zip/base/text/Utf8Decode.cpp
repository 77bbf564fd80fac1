// UTF-8 to UTF-16LE. Sequences of up to three bytes are decoded; four-byte
// sequences, overlong forms and stray bytes are invalid, byte by byte.
#include "zip/base/text/EncodingConvert.h"

#include "zip/base/text/AsciiRuns.h"
#include "zip/base/text/OutputCursor.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"

namespace vexmar {

namespace {

bool isContinuation(uint8_t b) {
    return (b & 0xC0) == 0x80;
}

} // namespace

bool EncodingConvert::convertToUnicode(const void* data, uint32_t length, DataBuffer& out,
                                       LogBase& log) {
    LogContextExitor context(log, "convertToUnicode");
    const auto* s = static_cast<const uint8_t*>(data);
    const uint8_t* end = s + length;
    OutputCursor cursor(out);
    uint8_t* p = nullptr;
    if (!cursor.reserve(p, uint64_t(length) * 2))
        return outOfMemory(cursor);
    while (s < end) {
        uint32_t b = s[0];
        size_t left = size_t(end - s);
        if (b < 0x80) {
            // ASCII, often a run of it.
            const uint8_t* before = s;
            widenAsciiRun(s, end, p);
            if (s == before) {
                putUnit(p, b);
                s += 1;
            }
            continue;
        }
        if (b - 0xC2 <= 0xDF - 0xC2) {
            if (left >= 2 && isContinuation(s[1])) {
                putUnit(p, (b & 0x1F) << 6 | (s[1] & 0x3Fu));
                s += 2;
                continue;
            }
        } else if (b - 0xE0 <= 0xEF - 0xE0) {
            // After E0 the second byte is at least A0: shorter forms are overlong.
            if (left >= 3 && isContinuation(s[1]) && isContinuation(s[2]) &&
                (b != 0xE0 || s[1] >= 0xA0)) {
                putUnit(p, (b & 0x0F) << 12 | (s[1] & 0x3Fu) << 6 | (s[2] & 0x3Fu));
                s += 3;
                continue;
            }
        }
        // An invalid byte: the error action, then on with the next byte.
        if (errorAction_ != kDrop && !handleBadBytes(cursor, p, s, 1, uint64_t(left - 1) * 2))
            return false;
        s += 1;
    }
    cursor.commit(p);
    return true;
}

} // namespace vexmar
