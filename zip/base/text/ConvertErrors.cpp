// What happens to characters a conversion cannot convert (the error action).
#include "zip/base/text/EncodingConvert.h"

#include "zip/base/text/OutputCursor.h"
#include "zip/base/DataBuffer.h"
#include "zip/base/LogBase.h"

#include <cstring>

namespace vexmar {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
// "&#x" + hex digits + ";"
uint32_t htmlReference(const uint8_t* bytes, uint32_t n, char* text) {
    uint32_t len = 0;
    text[len++] = '&';
    text[len++] = '#';
    text[len++] = 'x';
    for (uint32_t i = 0; i < n; ++i) {
        text[len++] = kHexDigits[bytes[i] >> 4];
        text[len++] = kHexDigits[bytes[i] & 15];
    }
    text[len++] = ';';
    return len;
}

} // namespace

void EncodingConvert::setSubstitution(const void* bytes, uint32_t n) {
    substitutionLen_ = uint8_t(n < kMaxSubstitution ? n : kMaxSubstitution);
    for (uint32_t i = 0; i < substitutionLen_; ++i)
        substitution_[i] = static_cast<const uint8_t*>(bytes)[i];
}

// Raw bytes into the output. During a pivot they travel behind markers (a
// noncharacter unit, a count byte, then that many bytes) that the second
// stage copies unchanged.
bool EncodingConvert::writeRaw(const uint8_t* bytes, uint32_t n, DataBuffer& out) {
    if (!emitMarkers_)
        return out.append(bytes, n);
    static constexpr uint8_t kMarker[2] = {uint8_t(kMarkerUnit), uint8_t(kMarkerUnit >> 8)};
    while (n > 0) {
        uint8_t count = uint8_t(n < kMaxMarkedRun ? n : kMaxMarkedRun);
        if (!out.append(kMarker, 2) || !out.appendByte(count) || !out.append(bytes, count))
            return false;
        bytes += count;
        n -= count;
    }
    return true;
}

bool EncodingConvert::onBadBytes(const uint8_t* bytes, uint32_t n, DataBuffer& out) {
    switch (errorAction_) {
    case kSubstitute:
        return writeRaw(substitution_, substitutionLen_, out);
    case kHtmlReference: {
        char text[3 + 2 * 4 + 1];
        uint32_t len = htmlReference(bytes, n < 4 ? n : 4, text);
        if (emitMarkers_)
            return writeRaw(reinterpret_cast<const uint8_t*>(text), len, out);
        // The output is UTF-16: the reference as UTF-16 text.
        for (uint32_t i = 0; i < len; ++i) {
            uint8_t unit[2] = {uint8_t(text[i]), 0};
            if (!out.append(unit, 2))
                return false;
        }
        return true;
    }
    case kPassThrough:
        return writeRaw(bytes, n, out);
    case kByteAndZero:
        for (uint32_t i = 0; i < n; ++i) {
            uint8_t unit[2] = {bytes[i], 0};
            if (!out.append(unit, 2))
                return false;
        }
        return true;
    default:
        return true;
    }
}

bool EncodingConvert::onBadUnit(char16_t unit, DataBuffer& out, LogBase& log) {
    uint8_t le[2] = {uint8_t(unit), uint8_t(unit >> 8)};
    switch (errorAction_) {
    case kSubstitute:
        return out.append(substitution_, substitutionLen_);
    case kHtmlReference: {
        char text[3 + 4 + 1] = {'&', '#', 'x'};
        uint32_t len = 3;
        int shift = 12;
        while (shift > 0 && (unit >> shift) == 0)
            shift -= 4;
        for (; shift >= 0; shift -= 4)
            text[len++] = kHexDigits[(unit >> shift) & 15];
        text[len++] = ';';
        return out.append(text, len);
    }
    case kAlternateCodePage: {
        int codePage = altCodePage_ ? altCodePage_ : toCodePage_;
        EncodingConvert alternate;
        alternate.EncConvert(kUtf16LE, codePage, le, 2, out, log);
        return !alternate.allocFailed_;
    }
    case kPassThrough:
        return out.append(le, 2);
    case kByteAndZero: {
        uint8_t bytes[4] = {le[0], 0, le[1], 0};
        return out.append(bytes, 4);
    }
    default:
        return true;
    }
}

bool EncodingConvert::outOfMemory(OutputCursor& cursor) {
    cursor.rollback();
    allocFailed_ = true;
    return false;
}

bool EncodingConvert::handleBadBytes(OutputCursor& cursor, uint8_t*& p, const uint8_t* bytes,
                                     uint32_t n, uint64_t room) {
    cursor.commit(p);
    if (onBadBytes(bytes, n, cursor.buffer()) && cursor.reserve(p, room))
        return true;
    return outOfMemory(cursor);
}

bool EncodingConvert::handleBadUnit(OutputCursor& cursor, uint8_t*& p, char16_t unit, uint64_t room,
                                    LogBase& log) {
    cursor.commit(p);
    if (onBadUnit(unit, cursor.buffer(), log) && cursor.reserve(p, room))
        return true;
    return outOfMemory(cursor);
}

bool EncodingConvert::copyMarkedRun(const uint8_t*& s, const uint8_t* end, uint8_t*& p) const {
    if (!honourMarkers_ || s == end || *s > kMaxMarkedRun)
        return false;
    uint32_t count = *s++;
    if (count > uint32_t(end - s))
        count = uint32_t(end - s);
    std::memcpy(p, s, count);
    p += count;
    s += count;
    return true;
}

} // namespace vexmar
