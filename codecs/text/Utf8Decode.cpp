// UTF-8 to UTF-16LE. Sequences of up to three bytes are decoded; four-byte
// sequences, overlong forms and stray bytes are invalid, byte by byte.
#include "codecs/text/EncodingConvert.h"

#include "codecs/text/OutputCursor.h"
#include "zip/core/LogBase.h"
#include "zip/core/LogContextExitor.h"

#include <cstring>

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
    if (!cursor.reserve(p, uint64_t(length) * 2)) {
        allocFailed_ = true;
        return false;
    }
    while (s < end) {
        // ASCII runs, eight bytes at a time.
        while (end - s >= 8) {
            uint64_t w;
            std::memcpy(&w, s, 8);
            if (w & 0x8080808080808080ull)
                break;
            for (int i = 0; i < 8; ++i) {
                p[2 * i] = s[i];
                p[2 * i + 1] = 0;
            }
            s += 8;
            p += 16;
        }
        if (s == end)
            break;
        uint32_t b = s[0];
        size_t left = size_t(end - s);
        if (b < 0x80) {
            putUnit(p, b);
            s += 1;
            continue;
        }
        if (b >= 0xC2 && b <= 0xDF) {
            if (left >= 2 && isContinuation(s[1])) {
                putUnit(p, (b & 0x1F) << 6 | (s[1] & 0x3Fu));
                s += 2;
                continue;
            }
        } else if (b >= 0xE0 && b <= 0xEF) {
            // After E0 the second byte is at least A0: shorter forms are overlong.
            if (left >= 3 && isContinuation(s[1]) && isContinuation(s[2]) &&
                (b != 0xE0 || s[1] >= 0xA0)) {
                putUnit(p, (b & 0x0F) << 12 | (s[1] & 0x3Fu) << 6 | (s[2] & 0x3Fu));
                s += 3;
                continue;
            }
        }
        // An invalid byte: the error action, then on with the next byte.
        if (errorAction_ != kDrop) {
            cursor.commit(p);
            if (!onBadBytes(s, 1, out) || !cursor.reserve(p, uint64_t(left - 1) * 2)) {
                cursor.rollback();
                allocFailed_ = true;
                return false;
            }
        }
        s += 1;
    }
    cursor.commit(p);
    return true;
}
