// Table code pages to and from UTF-16LE.
#include "zip/base/text/AsciiRuns.h"
#include "zip/base/text/CodePageTable.h"
#include "zip/base/text/EncodingConvert.h"
#include "zip/base/text/OutputCursor.h"
#include "zip/base/text/ReverseMap.h"
#include "zip/base/LogBase.h"
#include "zip/base/LogContextExitor.h"

namespace vexmar {

namespace {

// Arabic code pages take the Arabic-Indic digits as the ASCII ones.
char16_t foldArabicDigits(int codePage, char16_t unit) {
    if (codePage != 28596 && codePage != 1256)
        return unit;
    if (unit >= 0x0660 && unit <= 0x0669)
        return char16_t('0' + (unit - 0x0660));
    if (unit >= 0x06F0 && unit <= 0x06F9)
        return char16_t('0' + (unit - 0x06F0));
    return unit;
}

// The double-byte code pages whose undecodable input is taken two bytes at a time.
bool errorTakesTwoBytes(int codePage) {
    switch (codePage) {
    case 932:
    case 936:
    case 949:
    case 950:
    case 51932:
    case 51936:
    case 51949:
        return true;
    default:
        return false;
    }
}

} // namespace

bool EncodingConvert::convertToUnicodeHC(int codePage, const void* data, uint32_t length,
                                         DataBuffer& out, LogBase& log) {
    LogContextExitor context(log, "convertToUnicodeHC");
    if (log.isVerbose()) {
        log.logDataInt("fromCodePage", codePage);
        log.logDataInt64("inDataLen", length);
    }
    const CodePageTable* table = findCodePageTable(codePage);
    if (!table)
        return false;
    const ForwardTable* forward = forwardOf(*table);
    if (!forward) {
        allocFailed_ = true;
        return false;
    }
    const auto* s = static_cast<const uint8_t*>(data);
    if (table->maxLength == 1)
        return convertToUnicodeByLookup(*forward, s, length, out, log);
    return convertMultiByte(*table, *forward, errorTakesTwoBytes(codePage) ? 2 : 1, s, length, out);
}

bool EncodingConvert::convertToUnicodeByLookup(const ForwardTable& forward, const uint8_t* s,
                                               uint32_t length, DataBuffer& out, LogBase& log) {
    LogContextExitor context(log, "convertToUnicodeByLookup");
    const uint8_t* end = s + length;
    OutputCursor cursor(out);
    uint8_t* p = nullptr;
    if (!cursor.reserve(p, uint64_t(length) * 2))
        return outOfMemory(cursor);
    bool ok = true;
    for (; s < end; ++s) {
        uint8_t b = *s;
        char16_t unit = forward.single[b];
        if (unit || b == 0) {
            putUnit(p, unit);
            continue;
        }
        ok = false;
        if (errorAction_ != kDrop && !handleBadBytes(cursor, p, s, 1, uint64_t(end - s - 1) * 2))
            return false;
    }
    cursor.commit(p);
    return ok;
}

// At each position the longest match is not what counts: a two-byte sequence
// is tried first, then three and four bytes, and only then the byte alone.
bool EncodingConvert::convertMultiByte(const CodePageTable& table, const ForwardTable& forward,
                                       uint32_t errorWidth, const uint8_t* s, uint32_t length,
                                       DataBuffer& out) {
    const uint8_t* end = s + length;
    OutputCursor cursor(out);
    uint8_t* p = nullptr;
    if (!cursor.reserve(p, uint64_t(length) * 2))
        return outOfMemory(cursor);
    bool ok = true;
    while (s < end) {
        uint8_t b = *s;
        if (b < 0x80 && table.asciiCompatible) {
            const uint8_t* before = s;
            widenAsciiRun(s, end, p);
            if (s == before) {
                putUnit(p, b);
                ++s;
            }
            continue;
        }
        size_t left = size_t(end - s);
        const char16_t* row = forward.rows[b];
        if (row && left >= 2 && row[s[1]]) {
            putUnit(p, row[s[1]]);
            s += 2;
            continue;
        }
        if (table.maxLength > 2) {
            char16_t unit = 0;
            uint8_t n = 3;
            for (uint32_t code = uint32_t(b) << 8 | (left >= 2 ? s[1] : 0);
                 n <= table.maxLength && n <= left && !unit; ++n) {
                code = code << 8 | s[n - 1];
                unit = forward.findLong(code, n);
            }
            if (unit) {
                putUnit(p, unit);
                s += n - 1;
                continue;
            }
        }
        char16_t unit = forward.single[b];
        if (unit || b == 0) {
            putUnit(p, unit);
            ++s;
            continue;
        }
        ok = false;
        uint32_t n = left < errorWidth ? uint32_t(left) : errorWidth;
        if (errorAction_ != kDrop && !handleBadBytes(cursor, p, s, n, uint64_t(left - n) * 2))
            return false;
        s += n;
    }
    cursor.commit(p);
    return ok;
}

bool EncodingConvert::convertFromUnicodeHC(int codePage, const void* data, uint32_t length,
                                           DataBuffer& out, LogBase& log) {
    LogContextExitor context(log, "convertFromUnicodeHC");
    if (log.isVerbose()) {
        log.logDataInt("toCodePage", codePage);
        log.logDataInt64("inDataLen", length);
    }
    const CodePageTable* table = findCodePageTable(codePage);
    if (!table || length == 1)
        return false;
    const ReverseMap* reverse = reverseMapOf(*table);
    if (!reverse) {
        allocFailed_ = true;
        return false;
    }
    const auto* s = static_cast<const uint8_t*>(data);
    const uint8_t* end = s + length;
    OutputCursor cursor(out);
    uint8_t* p = nullptr;
    // A unit gives at most `maxLength` bytes for its two, a marked run no more
    // than it holds.
    uint32_t perUnit = table->maxLength < 2 ? 2 : table->maxLength;
    if (!cursor.reserve(p, uint64_t(length / 2) * perUnit))
        return outOfMemory(cursor);
    bool ok = true;
    while (end - s >= 2) {
        if (table->asciiCompatible)
            narrowAsciiRun(s, end, p);
        if (end - s < 2)
            break;
        char16_t unit = char16_t(s[0] | s[1] << 8);
        s += 2;
        if (unit == 0 || (unit < 0x80 && table->asciiCompatible)) {
            *p++ = uint8_t(unit);
            continue;
        }
        if (unit == kMarkerUnit && copyMarkedRun(s, end, p))
            continue;
        uint8_t bytes[4];
        uint8_t n = reverse->find(foldArabicDigits(codePage, unit), bytes);
        if (n) {
            for (uint8_t i = 0; i < n; ++i)
                *p++ = bytes[i];
            continue;
        }
        ok = false;
        if (errorAction_ != kDrop &&
            !handleBadUnit(cursor, p, unit, uint64_t((end - s) / 2) * perUnit, log))
            return false;
    }
    cursor.commit(p);
    return ok && s == end;
}

} // namespace vexmar
