// Table code pages to and from UTF-16LE.
#include "codecs/text/CodePageTable.h"
#include "codecs/text/EncodingConvert.h"
#include "codecs/text/OutputCursor.h"
#include "codecs/text/ReverseMap.h"
#include "zip/core/LogBase.h"
#include "zip/core/LogContextExitor.h"

#include <cstring>

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
    return convertToUnicodeByLookup(*table, static_cast<const uint8_t*>(data), length, out, log);
}

bool EncodingConvert::convertToUnicodeByLookup(const CodePageTable& table, const uint8_t* s,
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
        char16_t unit = table.unitOf(b);
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
    // At most one byte per input byte: a unit gives one, a marked run no more
    // than it holds.
    if (!cursor.reserve(p, length))
        return outOfMemory(cursor);
    bool ok = true;
    while (end - s >= 2) {
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
        if (n == 1) {
            *p++ = bytes[0];
            continue;
        }
        ok = false;
        if (errorAction_ != kDrop && !handleBadUnit(cursor, p, unit, uint64_t(end - s), log))
            return false;
    }
    cursor.commit(p);
    return ok && s == end;
}
